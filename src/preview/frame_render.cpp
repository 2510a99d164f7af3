#include "preview/frame_render.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

#include "codecs/png_alpha.h"
#include "codecs/png_decode.h"
#include "formats/le_bytes.h"
#include "formats/xcursor/xcursor_document.h"
#include "gfx/bitmap_header.h"
#include "gfx/dib_draw.h"
#include "model/picture_index.h"
#include "preview/picture_parts.h"

namespace delvix::preview {

namespace {

using gfx::ConstBytes;
using model::Node;
using namespace parts;

constexpr const char* noBitmapInfo = "Didn't be found the 'bitm_info' chunk";
constexpr const char* colourBitmapError = "Error from color bitmap.";
constexpr const char* incorrectBitmap = "Incorrect bitmap.";
constexpr const char* compressedBitmap =
    "You cannot edit the color table for this bitmap. It 'Compression' value isn't 0.";

// Why a picture that has no decoding is not drawn: what the reader found, or what its header asks for.
std::string notDrawnReason(const model::Document& document, int index, const Node& picture,
                           const gfx::BitmapHeader* header) {
  if (auto found = document.module.bitmapProblems.find(index); found != document.module.bitmapProblems.end())
    return found->second;
  if (!header) return noBitmapInfo;
  return picture.name() + ": not drawn: " + gfx::undrawableReason(*header) + ".";
}

// Why an icon image whose bytes were kept undecoded is not drawn.
std::string undecodedReason(const Node& picture, const gfx::BitmapHeader& header) {
  const int bits = header.bitCount;
  std::string why = "its rows were kept as they were read";
  if (bits == 16 && header.size == gfx::infoHeaderSize)
    why = "16 bits per pixel behind a 40-byte header are not drawn";
  else if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    why = std::to_string(bits) + " bits per pixel are not a bitmap format";
  return picture.name() + ": not drawn: " + why + ".";
}

Rendering withImage(gfx::Image image) {
  Rendering rendering;
  rendering.image = std::move(image);
  return rendering;
}

Rendering withError(std::string text) {
  Rendering rendering;
  rendering.error = std::move(text);
  return rendering;
}

Rendering withLogLine(std::string text) {
  Rendering rendering;
  rendering.logLine = std::move(text);
  return rendering;
}

Rendering opaqueCopy(const gfx::Image& decoded) {
  gfx::Image image = decoded;
  for (gfx::Pixel& p : image.pixels()) p |= 0xFF000000u;
  return withImage(std::move(image));
}

Rendering plainPng(const Node& picture, const Node& pngData) {
  std::string problem;
  auto decoded = decodedPng(picture, pngData, problem);
  if (!decoded) return withLogLine(problem);
  // Fully transparent pixels stay the canvas key; every other pixel is shown opaque.
  gfx::Image canvas = gfx::prepareCanvas(decoded->width(), decoded->height());
  std::transform(decoded->pixels().begin(), decoded->pixels().end(), canvas.pixels().begin(), canvas.pixels().begin(),
                 [](gfx::Pixel p, gfx::Pixel key) { return gfx::alpha(p) == 0 ? key : p | 0xFF000000u; });
  return withImage(std::move(canvas));
}

Rendering alphaPng(const Node& picture, const Node& pngData) {
  std::string problem;
  auto decoded = decodedPng(picture, pngData, problem);
  if (!decoded) return withLogLine(problem);
  gfx::Image canvas = gfx::prepareCanvas(decoded->width(), decoded->height());
  std::transform(decoded->pixels().begin(), decoded->pixels().end(), canvas.pixels().begin(), canvas.pixels().begin(),
                 [](gfx::Pixel p, gfx::Pixel under) { return gfx::blendOver(under, p); });
  return withImage(std::move(canvas));
}

}  // namespace

const model::Node* pictureNode(const model::Document& document, int index) {
  if (index < 0 || index == std::numeric_limits<int>::max()) return nullptr;
  return document.tree.findFirst(model::pictureName(index + 1));
}

// An X cursor image with its alpha un-premultiplied: blended over the canvas, or (plain) with its fully
// transparent pixels left to the canvas and the others opaque.
Rendering renderXcursor(const model::Document& document, int index, bool blend) {
  const Node* picture = pictureNode(document, index);
  if (!picture) return withLogLine(noBitmapInfo);
  const auto image = formats::xcursor::imageOf(*picture, false);
  if (!image) return withError(incorrectBitmap);
  if (auto problem = sizeProblem(*picture, image->width, image->height)) return withLogLine(*problem);
  const gfx::Image straight = formats::xcursor::xcursorPicture(document, index);
  if (straight.empty()) return withError(colourBitmapError);
  gfx::Image canvas = gfx::prepareCanvas(straight.width(), straight.height());
  std::transform(straight.pixels().begin(), straight.pixels().end(), canvas.pixels().begin(), canvas.pixels().begin(),
                 [blend](gfx::Pixel p, gfx::Pixel under) {
                   if (blend) return gfx::blendOver(under, p);
                   return gfx::alpha(p) == 0 ? under : p | 0xFF000000u;
                 });
  return withImage(std::move(canvas));
}

Rendering renderPlain(const model::Document& document, int index) {
  if (document.kind == model::FileKind::xcursor) return renderXcursor(document, index, false);
  const Node* picture = pictureNode(document, index);
  const gfx::Image* decoded = decodedModuleBitmap(document, index);
  if (!picture) return withLogLine(noBitmapInfo);
  const PictureParts parts = partsOf(*picture);
  if (parts.png) return plainPng(*picture, *parts.png);
  // A bitmap resource that the tree does not list (16 bits per pixel, ...) was still decoded by the reader.
  if (!parts.bitmapInfo)
    return decoded ? opaqueCopy(*decoded) : withLogLine(notDrawnReason(document, index, *picture, nullptr));

  const gfx::BitmapHeader info = headerOf(*parts.bitmapInfo);
  // Compressed rows and rows that were not kept are shown from the reader's decoding; an icon image has
  // none, and says why. Rows that are kept are drawn from the node, which the pixel edits change.
  if (!gfx::drawableRows(info))
    return decoded ? opaqueCopy(*decoded) : withLogLine(notDrawnReason(document, index, *picture, &info));
  if (decoded && !hasRows(parts.colourBitmap)) return opaqueCopy(*decoded);
  if (!hasRows(parts.colourBitmap)) {
    Rendering failed = withError(colourBitmapError);
    if (picture->findChild("image_data")) failed.logLine = undecodedReason(*picture, info);
    return failed;
  }

  const ConstBytes colourEntries = parts.colourTable ? countedBytes(*parts.colourTable) : ConstBytes{};
  auto header = gfx::DrawingHeader::fromBitmapInfo(parts.bitmapInfo->block(), colourEntries, parts.mask != nullptr);
  const bool topDown = isTopDown(header, parts.mask != nullptr);
  if (topDown) header.height = -header.height;
  if (auto problem = sizeProblem(*picture, header.width, header.height)) return withLogLine(*problem);

  gfx::Image canvas = gfx::prepareCanvas(header.width, header.height);
  ConstBytes colourRows = rowsOf(*parts.colourBitmap);
  std::vector<std::uint8_t> flipped;
  if (topDown) {
    flipped = bottomUpRows(colourRows, header.rowStride(), header.height);
    colourRows = flipped;
  }
  if (parts.mask) {
    gfx::drawMaskedImage(canvas, header.width, header.height, rowsOf(*parts.mask), colourRows, header);
  } else {
    for (int y = 0; y < header.height; ++y)
      header.decodeRow(colourRows, y, std::span(&canvas.at(0, y), static_cast<std::size_t>(header.width)));
  }
  return withImage(std::move(canvas));
}

Rendering renderAlpha(const model::Document& document, int index) {
  if (document.kind == model::FileKind::xcursor) return renderXcursor(document, index, true);
  const Node* picture = pictureNode(document, index);
  if (!picture) return withError(incorrectBitmap);
  const PictureParts parts = partsOf(*picture);
  if (parts.png) return alphaPng(*picture, *parts.png);
  if (!parts.bitmapInfo) return withError(incorrectBitmap);

  if (!gfx::drawableRows(headerOf(*parts.bitmapInfo))) return withError(compressedBitmap);
  if (!parts.colourRightAfterInfo || !hasRows(parts.colourBitmap)) return withError(colourBitmapError);

  auto header = gfx::DrawingHeader::fromBitmapInfo(parts.bitmapInfo->block(), {}, parts.mask != nullptr);
  ConstBytes colourRows = rowsOf(*parts.colourBitmap);
  const bool topDown = isTopDown(header, parts.mask != nullptr);
  if (topDown) header.height = -header.height;
  if (auto problem = sizeProblem(*picture, header.width, header.height)) return withLogLine(*problem);

  std::vector<std::uint8_t> flipped;
  if (topDown) {
    flipped = bottomUpRows(colourRows, header.rowStride(), header.height);
    colourRows = flipped;
  }
  gfx::Image canvas = gfx::prepareCanvas(header.width, header.height);
  gfx::drawWithAlpha(canvas, header.width, header.height, colourRows, header);
  return withImage(std::move(canvas));
}

bool hasPerPixelAlpha(const model::Document& document, int index) {
  if (document.kind == model::FileKind::xcursor) return pictureNode(document, index) != nullptr;
  const Node* picture = pictureNode(document, index);
  if (!picture) return false;
  const PictureParts parts = partsOf(*picture);
  if (parts.png) return codecs::pngHasAlpha(countedBytes(*parts.png));
  if (!parts.bitmapInfo) return false;
  const gfx::BitmapHeader info = headerOf(*parts.bitmapInfo);
  return info.bitCount == 32 && gfx::drawableRows(info) && (!info.masks || info.masks->alpha != 0) &&
         parts.colourRightAfterInfo && hasRows(parts.colourBitmap);
}

}  // namespace delvix::preview
