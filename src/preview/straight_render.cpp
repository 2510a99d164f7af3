#include "preview/straight_render.h"

#include <algorithm>

#include "formats/xcursor/xcursor_document.h"
#include "preview/picture_parts.h"

namespace delvix::preview {

namespace {

using gfx::ConstBytes;

// True when some pixel of the 32-bit rows has a non-zero alpha; missing bytes read as 0.
bool anyAlpha(ConstBytes rows, const gfx::DrawingHeader& header) {
  if (header.masks && header.masks->alpha == 0) return false;
  for (int y = 0; y < header.height; ++y)
    for (int x = 0; x < header.width; ++x)
      if (header.pixelAlpha(rows, x, y) != 0) return true;
  return false;
}

void takeAlpha(gfx::Image& image, ConstBytes rows, const gfx::DrawingHeader& header) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.at(x, y) = gfx::withoutAlpha(image.at(x, y)) | (gfx::Pixel{header.pixelAlpha(rows, x, y)} << 24);
}

// Mask bit 1 makes a pixel transparent; one whose colour is not black would invert the screen under it,
// which a picture file cannot hold. Returns how many pixels were such.
std::size_t takeMask(gfx::Image& image, ConstBytes maskRows) {
  const std::size_t stride = static_cast<std::size_t>(gfx::maskRowStride(image.width()));
  std::size_t inverting = 0;
  for (int y = 0; y < image.height(); ++y) {
    const std::size_t row = static_cast<std::size_t>(image.height() - 1 - y) * stride;
    for (int x = 0; x < image.width(); ++x) {
      const std::size_t at = row + static_cast<std::size_t>(x) / 8;
      const bool masked = at < maskRows.size() && ((maskRows[at] >> (7 - x % 8)) & 1);
      if (!masked) continue;
      gfx::Pixel& p = image.at(x, y);
      if (gfx::withoutAlpha(p) != 0) ++inverting;
      p = 0;
    }
  }
  return inverting;
}

Rendering straightPng(const model::Node& picture, const model::Node& pngData) {
  Rendering rendering;
  if (auto decoded = parts::decodedPng(picture, pngData, rendering.logLine)) rendering.image = std::move(*decoded);
  return rendering;
}

}  // namespace

Rendering renderStraight(const model::Document& document, int index) {
  if (document.kind == model::FileKind::xcursor) {
    Rendering rendering;
    rendering.image = formats::xcursor::xcursorPicture(document, index);
    if (rendering.image.empty()) rendering.error = "The picture's pixels are not all there.";
    return rendering;
  }
  const model::Node* picture = pictureNode(document, index);
  const parts::PictureParts pieces = picture ? parts::partsOf(*picture) : parts::PictureParts{};
  if (pieces.png) return straightPng(*picture, *pieces.png);
  // What is not drawn from its own rows (a module's decoded bitmap, compressed rows, damage) is opaque or
  // not drawn at all, as plainly drawn.
  if (!pieces.bitmapInfo || !parts::hasRows(pieces.colourBitmap)) return renderPlain(document, index);
  if (!gfx::drawableRows(parts::headerOf(*pieces.bitmapInfo))) return renderPlain(document, index);

  const ConstBytes colourEntries = pieces.colourTable ? parts::countedBytes(*pieces.colourTable) : ConstBytes{};
  auto header = gfx::DrawingHeader::fromBitmapInfo(pieces.bitmapInfo->block(), colourEntries, pieces.mask != nullptr);
  const bool topDown = parts::isTopDown(header, pieces.mask != nullptr);
  if (topDown) header.height = -header.height;
  Rendering rendering;
  if (auto problem = parts::sizeProblem(*picture, header.width, header.height)) {
    rendering.logLine = *problem;
    return rendering;
  }
  ConstBytes colourRows = parts::rowsOf(*pieces.colourBitmap);
  std::vector<std::uint8_t> flipped;
  if (topDown) {
    flipped = parts::bottomUpRows(colourRows, header.rowStride(), header.height);
    colourRows = flipped;
  }
  gfx::Image image(header.width, header.height);
  for (int y = 0; y < header.height; ++y)
    header.decodeRow(colourRows, y, std::span(&image.at(0, y), static_cast<std::size_t>(header.width)));

  // A bitmap without a mask (a module's bitmap resource) is opaque; an icon or cursor image of 32 bits takes
  // its own alpha unless every alpha byte is 0, when the mask decides, as Windows draws it.
  if (pieces.mask) {
    if (header.bitCount == 32 && anyAlpha(colourRows, header)) {
      takeAlpha(image, colourRows, header);
    } else if (const std::size_t inverting = takeMask(image, parts::rowsOf(*pieces.mask))) {
      rendering.notice = picture->name() + ": " + std::to_string(inverting) +
                         (inverting == 1 ? " inverting pixel (mask 1 over a colour) is"
                                         : " inverting pixels (mask 1 over a colour) are") +
                         " written transparent.";
    }
  }
  rendering.image = std::move(image);
  return rendering;
}

}  // namespace delvix::preview
