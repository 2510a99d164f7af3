#include "save/picture_export.h"

#include "codecs/png_chunks.h"
#include "preview/frame_render.h"
#include "preview/picture_parts.h"
#include "preview/straight_render.h"
#include "preview/zoom.h"

namespace delvix::save {

namespace {

preview::Rendering rendered(const model::Document& document, int index, const PictureRequest& request) {
  if (takesOwnPixels(request)) return preview::renderStraight(document, index);
  return request.alpha && preview::hasPerPixelAlpha(document, index) ? preview::renderAlpha(document, index)
                                                                     : preview::renderPlain(document, index);
}

// The PNG bytes a picture is stored as, or nothing when it is a bitmap.
gfx::ConstBytes storedPng(const model::Document& document, int index) {
  const model::Node* picture = preview::pictureNode(document, index);
  const auto pieces = picture ? preview::parts::partsOf(*picture) : preview::parts::PictureParts{};
  return pieces.png ? preview::parts::countedBytes(*pieces.png) : gfx::ConstBytes{};
}

}  // namespace

bool takesOwnPixels(const PictureRequest& request) {
  return !request.asShown && !request.alpha &&
         (request.format == ImageFormat::png || request.format == ImageFormat::gif);
}

PictureFile exportPictureFile(const model::Document& document, int index, const PictureRequest& request) {
  PictureFile file;
  if (request.format == ImageFormat::png && takesOwnPixels(request) && request.zoom == 1) {
    const gfx::ConstBytes png = storedPng(document, index);
    if (codecs::isIntactPng(png)) {
      file.bytes.assign(png.begin(), png.end());
      return file;
    }
  }
  preview::Rendering rendering = rendered(document, index, request);
  for (const std::string* line : {&rendering.logLine, &rendering.notice})
    if (!line->empty()) file.log.push_back(*line);
  if (!rendering.error.empty()) {
    file.error = rendering.error;
    return file;
  }
  gfx::Image picture = std::move(rendering.image);
  if (request.zoom > 1 && !picture.empty()) {
    auto enlarged = preview::zoomed(picture, request.zoom);
    if (!enlarged) {
      file.error = "The picture is too large to be enlarged " + std::to_string(request.zoom) + " times.";
      return file;
    }
    picture = std::move(*enlarged);
  }
  ExportOptions options = exportOptionsOf(document, index);
  options.gif = request.gif;
  options.ownAlpha = takesOwnPixels(request);
  Encoded encoded = encodeImage(picture, request.format, options);
  file.bytes = std::move(encoded.bytes);
  file.error = std::move(encoded.error);
  return file;
}

}  // namespace delvix::save
