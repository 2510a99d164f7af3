#include <algorithm>
#include <utility>

#include "fieldview/apply_edits.h"
#include "fieldview/pixel_items.h"
#include "fieldview/pixel_table.h"
#include "model/picture_index.h"

namespace delvix::fieldview {

namespace {

// The values of the boxes that show the colour or the mask bits, read and checked; a refusal otherwise.
std::optional<std::string> readBoxes(int bitCount, const std::vector<EditBox>& boxes, int max, const BoxTexts& texts,
                                     std::vector<int>& values, BoxTexts& shownBack) {
  if (bitCount == 1) {
    values = pixels::readBits(texts, boxes.front(), shownBack);
    return std::nullopt;
  }
  return pixels::readNumbers(texts, boxes, max, values, shownBack);
}

int colourMaximum(int bitCount) {
  switch (bitCount) {
    case 1: return 1;
    case 4: return 15;
    default: return 255;
  }
}

}  // namespace

ApplyResult applyPixelRow(model::Document& /*document*/, model::Node& colourBitmap, std::size_t page, std::size_t row,
                          const BoxTexts& texts) {
  const auto shape = pixelTableShape(colourBitmap);
  if (!shape || row >= itemsPerPage || page >= shape->pageCount()) return {};
  const std::size_t item = page * itemsPerPage + row;
  if (item >= shape->itemCount) return {};

  const std::size_t offset = pixels::itemOffset(*shape, item);
  const std::size_t size = pixels::bytesPerItem(shape->bitCount);
  const std::span<const std::uint8_t> colourRows = pixels::storedRows(colourBitmap.block());
  if (offset > colourRows.size() || size > colourRows.size() - offset) return {};
  model::Node* mask = pixels::siblingAfter(colourBitmap, "mask_bitmap");
  const pixels::MaskBits maskBits = pixels::maskBitsOf(*shape, item);
  if (mask && maskBits.byte >= pixels::storedRows(mask->block()).size()) return {};

  ApplyResult result;
  std::vector<int> colour, maskValues;
  if (auto refusal = readBoxes(shape->bitCount, pixels::colourBoxes(shape->bitCount), colourMaximum(shape->bitCount),
                               texts, colour, result.shownBoxes))
    return refusedWith(*refusal);
  if (mask)
    if (auto refusal =
            readBoxes(shape->bitCount, pixels::maskBoxes(shape->bitCount), 1, texts, maskValues, result.shownBoxes))
      return refusedWith(*refusal);

  const std::vector<std::uint8_t> bytes = pixels::itemBytesOf(shape->bitCount, colour);
  // Only the bytes that change are written, so that undoing a pixel keeps no copy of the bitmap.
  colourBitmap.writeBytes(pixels::rowsAt + offset, bytes);
  if (mask) {
    std::uint8_t byte = pixels::storedRows(std::as_const(*mask).block())[maskBits.byte];
    for (int i = 0; i < maskBits.count; ++i) {
      const auto bit = static_cast<std::uint8_t>(1u << (maskBits.highest - i));
      byte = static_cast<std::uint8_t>(maskValues[static_cast<std::size_t>(i)] ? byte | bit : byte & ~bit);
    }
    mask->writeBytes(pixels::rowsAt + maskBits.byte, std::span(&byte, 1));
  }

  result.kind = ApplyResult::Kind::applied;
  const model::Node* maskNode = mask;
  result.changedRows.emplace_back(
      row, pixels::itemRow(*shape, item, {pixels::storedRows(std::as_const(colourBitmap).block())},
                           {maskNode ? pixels::storedRows(maskNode->block()) : std::span<const std::uint8_t>{}},
                           pixels::paletteOf(colourBitmap), Mark::editable));
  result.redrawnPicture = model::pictureIndexOf(colourBitmap);
  return result;
}

}  // namespace delvix::fieldview
