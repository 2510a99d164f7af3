#include "fieldview/pixel_items.h"
#include "fieldview/pixel_table.h"
#include "formats/le_bytes.h"

namespace delvix::fieldview {

namespace {

// Pixels a stored byte holds (1, 4 and 8 bits); 1 for the pixel items of 24 and 32 bits.
std::size_t pixelsPerItem(int bitCount) { return bitCount < 8 ? static_cast<std::size_t>(8 / bitCount) : 1; }

// The item shown on row `row` of page `page`, when there is one.
std::optional<std::size_t> itemAt(const PixelTableShape& shape, std::size_t page, std::size_t row) {
  if (row >= itemsPerPage || page >= shape.pageCount()) return std::nullopt;
  const std::size_t item = page * itemsPerPage + row;
  if (item >= shape.itemCount) return std::nullopt;
  return item;
}

// The pixels of an item: the last of them is marked, unless it is filler past the image's width.
std::optional<PixelMark> markOf(const PixelTableShape& shape, std::size_t item) {
  const std::size_t perItem = pixelsPerItem(shape.bitCount);
  const std::size_t perRow = shape.bitCount <= 8 ? shape.stride * perItem : static_cast<std::size_t>(shape.width);
  const std::size_t last = item * perItem + perItem - 1;
  const std::size_t x = last % perRow, storedRow = last / perRow;
  const auto height = static_cast<std::size_t>(shape.height);
  if (x >= static_cast<std::size_t>(shape.width) || storedRow >= height) return std::nullopt;
  const std::size_t y = shape.topDown ? storedRow : height - 1 - storedRow;
  return PixelMark{static_cast<int>(x), static_cast<int>(y), static_cast<int>(perItem)};
}

}  // namespace

PixelRowSelection selectPixelRow(const model::Node& colourBitmap, std::size_t page, std::size_t row) {
  const auto shape = pixelTableShape(colourBitmap);
  const auto item = shape ? itemAt(*shape, page, row) : std::nullopt;
  if (!item) return {};
  const auto bytes = pixels::RowWindow{pixels::storedRows(colourBitmap.block())}.at(
      pixels::itemOffset(*shape, *item), pixels::bytesPerItem(shape->bitCount));
  if (!bytes) return {};
  std::optional<std::vector<int>> mask;
  if (const model::Node* maskNode = pixels::siblingAfter(colourBitmap, "mask_bitmap"))
    mask = pixels::maskValues(*shape, {pixels::storedRows(maskNode->block())}, *item);
  PixelRowSelection selection;
  selection.boxes = pixels::boxTextsOf(shape->bitCount, pixels::colourValues(shape->bitCount, *bytes), mask);
  selection.mark = markOf(*shape, *item);
  return selection;
}

BoxTexts selectColourTableRow(const model::Node& colourTable, std::size_t row) {
  const model::Block& block = colourTable.block();
  if (colourTable.name() != "color_table" || block.size() < 4) return {};
  const std::size_t entries = std::min<std::size_t>(formats::le32(block, 0), block.size() - 4) / 4;
  if (row >= entries) return {};
  const std::uint8_t* entry = block.data() + 4 + 4 * row;  // blue, green, red, reserved
  return {{EditBox::editRes, std::to_string(entry[3])},
          {EditBox::editR, std::to_string(entry[2])},
          {EditBox::editG, std::to_string(entry[1])},
          {EditBox::editB, std::to_string(entry[0])}};
}

std::optional<PixelPick> pickPixel(const model::Node& colourBitmap, int x, int y) {
  const auto shape = pixelTableShape(colourBitmap);
  if (!shape || x < 0 || y < 0 || x >= shape->width || y >= shape->height) return std::nullopt;
  const auto column = static_cast<std::size_t>(x);
  const auto storedRow = static_cast<std::size_t>(shape->topDown ? y : shape->height - 1 - y);
  std::size_t item = 0;
  if (shape->bitCount <= 8) {
    const std::size_t perItem = pixelsPerItem(shape->bitCount);
    item = (storedRow * shape->stride * perItem + column) / perItem;
  } else {
    item = storedRow * static_cast<std::size_t>(shape->width) + column;
  }
  if (item >= shape->itemCount) return std::nullopt;
  return PixelPick{item / itemsPerPage, item % itemsPerPage};
}

}  // namespace delvix::fieldview
