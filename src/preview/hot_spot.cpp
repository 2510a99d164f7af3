#include "preview/hot_spot.h"

#include <limits>

#include "formats/le_bytes.h"
#include "formats/xcursor/xcursor_document.h"
#include "model/picture_index.h"
#include "preview/frame_render.h"

namespace delvix::preview {

namespace {

constexpr std::uint16_t cursorType = 2;

// The u16 pair at `offset` of `block`, when the block holds it.
std::optional<Point> pairAt(const model::Block& block, std::size_t offset) {
  if (block.size() < offset + 4) return std::nullopt;
  return Point{formats::le16(block, offset), formats::le16(block, offset + 2)};
}

std::optional<Point> cursorFileHotSpot(const model::Document& document, int index) {
  if (document.tree.empty()) return std::nullopt;
  const model::Node& header = document.tree.topLevel(0);
  if (header.name() != "header" || header.block().size() < 4 || formats::le16(header.block(), 2) != cursorType)
    return std::nullopt;
  const model::Node* entry = model::findNumberedChild(header, "icon_dir_", index + 1);
  return entry ? pairAt(entry->block(), 4) : std::nullopt;
}

std::optional<Point> aniFrameHotSpot(const model::Node& picture) {
  const model::Node* frameHeader = picture.findChild("image_info");
  if (!frameHeader || frameHeader->block().size() < 4 || formats::le16(frameHeader->block(), 2) != cursorType)
    return std::nullopt;
  return pairAt(frameHeader->block(), 10);
}

std::optional<Point> moduleCursorHotSpot(const model::Node& picture) {
  const model::Node* record = picture.findChild("hot_pot");
  return record ? pairAt(record->block(), 0) : std::nullopt;
}

}  // namespace

std::optional<Point> hotSpotOf(const model::Document& document, int index) {
  if (index < 0 || index == std::numeric_limits<int>::max()) return std::nullopt;
  if (document.kind == model::FileKind::iconFile) return cursorFileHotSpot(document, index);
  const model::Node* picture = pictureNode(document, index);
  if (!picture) return std::nullopt;
  if (document.kind == model::FileKind::animatedCursor) return aniFrameHotSpot(*picture);
  if (document.kind == model::FileKind::module) return moduleCursorHotSpot(*picture);
  if (document.kind == model::FileKind::xcursor) {
    const model::Block& block = picture->block();
    if (block.size() < formats::xcursor::imageHeaderSize) return std::nullopt;
    // Larger than any picture is drawn: the cross is then left out.
    const auto clamped = [](std::uint32_t v) { return static_cast<int>(std::min<std::uint32_t>(v, 0xFFFF)); };
    return Point{clamped(formats::le32(block, formats::xcursor::imageField::xHot)),
                 clamped(formats::le32(block, formats::xcursor::imageField::yHot))};
  }
  return std::nullopt;
}

std::optional<HotSpotCross> hotSpotCross(Point spot, int width, int height, int zoom) {
  if (spot.x < 0 || spot.y < 0 || spot.x >= width || spot.y >= height || zoom < 1) return std::nullopt;
  // Four pixels of arm at 100 %, two more each zoom step: it reaches past the enlarged pixel's neighbours.
  return HotSpotCross{{spot.x * zoom + zoom / 2, spot.y * zoom + zoom / 2}, 2 + 2 * zoom};
}

}  // namespace delvix::preview
