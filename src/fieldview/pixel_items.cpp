#include "fieldview/pixel_items.h"

#include <algorithm>

#include "fieldview/apply_edits.h"
#include "fieldview/number_text.h"
#include "formats/le_bytes.h"

namespace delvix::fieldview::pixels {

namespace {

// The most colour-table entries an index of 8 bits reaches.
constexpr std::size_t largestPalette = 256;

std::string joined(const std::vector<int>& values, std::string_view separator) {
  std::string text;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i) text += separator;
    text += std::to_string(values[i]);
  }
  return text;
}

// One bit a character: "00111100".
std::string bitsText(const std::vector<int>& bits) { return joined(bits, ""); }

std::string colourText(int bitCount, const std::vector<int>& values) {
  if (bitCount == 1) return bitsText(values);
  return joined(values, bitCount == 4 ? "  " : " ");
}

std::string maskText(int bitCount, const std::vector<int>& bits) {
  if (bitCount == 1) return bitsText(bits);
  return joined(bits, "  ");
}

// An index past the colour table has no colour of its own: it shows black.
std::uint32_t entryOf(const std::vector<std::uint32_t>& palette, int index) {
  const auto at = static_cast<std::size_t>(index);
  return at < palette.size() ? palette[at] : 0;
}

std::optional<Swatch> swatchOf(int bitCount, const std::vector<int>& values,
                               const std::vector<std::uint32_t>& palette) {
  switch (bitCount) {
    case 4: return Swatch{Swatch::Shape::twoDiscs, entryOf(palette, values[0]), entryOf(palette, values[1])};
    case 8: return Swatch{Swatch::Shape::disc, entryOf(palette, values[0]), 0};
    case 24:
    case 32: {
      const std::size_t red = values.size() - 3;
      const auto colour = static_cast<std::uint32_t>(values[red] << 16 | values[red + 1] << 8 | values[red + 2]);
      return Swatch{Swatch::Shape::disc, colour, 0};
    }
    default: return std::nullopt;
  }
}

std::optional<ValueRange> rangeOf(int bitCount) {
  if (bitCount == 1) return std::nullopt;
  return ValueRange{0, bitCount == 4 ? 15 : 255};
}

std::vector<int> bitsOf(std::uint8_t byte, int highest, int count) {
  std::vector<int> bits;
  for (int bit = highest; bit > highest - count; --bit) bits.push_back((byte >> bit) & 1);
  return bits;
}

}  // namespace

std::span<const std::uint8_t> storedRows(const model::Block& block) {
  if (block.size() < rowsAt) return {};
  return std::span(block).subspan(rowsAt, std::min<std::size_t>(formats::le32(block, 4), block.size() - rowsAt));
}

model::Node* siblingBefore(const model::Node& node, std::string_view name) {
  const model::Node* parent = node.parent();
  const std::size_t index = node.indexInParent();
  if (!parent || index == 0) return nullptr;
  model::Node& sibling = parent->child(index - 1);
  return sibling.name() == name ? &sibling : nullptr;
}

model::Node* siblingAfter(const model::Node& node, std::string_view name) {
  const model::Node* parent = node.parent();
  const std::size_t index = node.indexInParent() + 1;
  if (!parent || index >= parent->childCount()) return nullptr;
  model::Node& sibling = parent->child(index);
  return sibling.name() == name ? &sibling : nullptr;
}

std::vector<std::uint32_t> paletteOf(const model::Node& colourBitmap) {
  const model::Node* table = siblingBefore(colourBitmap, "color_table");
  if (!table || table->block().size() < 4) return {};
  const model::Block& block = table->block();
  const std::size_t stored = std::min<std::size_t>(formats::le32(block, 0), block.size() - 4);
  std::vector<std::uint32_t> palette;
  for (std::size_t i = 0; i < std::min(stored / 4, largestPalette); ++i) {
    const std::uint8_t* entry = block.data() + 4 + 4 * i;  // blue, green, red, reserved
    palette.push_back(std::uint32_t{entry[2]} << 16 | std::uint32_t{entry[1]} << 8 | entry[0]);
  }
  return palette;
}

std::optional<std::span<const std::uint8_t>> RowWindow::at(std::size_t offset, std::size_t size) const {
  if (offset < base || offset - base > bytes.size() || size > bytes.size() - (offset - base)) return std::nullopt;
  return bytes.subspan(offset - base, size);
}

std::size_t bytesPerItem(int bitCount) { return bitCount > 8 ? static_cast<std::size_t>(bitCount / 8) : 1; }

std::size_t itemOffset(const PixelTableShape& shape, std::size_t item) {
  if (shape.bitCount <= 8) return item;
  const auto width = static_cast<std::size_t>(shape.width);
  return item / width * shape.stride + item % width * bytesPerItem(shape.bitCount);
}

MaskBits maskBitsOf(const PixelTableShape& shape, std::size_t item) {
  if (shape.bitCount == 1) return {item, 7, 8};
  // The item's place in its stored row, in bytes (4 and 8 bits) or in pixels.
  const std::size_t perRow = shape.bitCount <= 8 ? shape.stride : static_cast<std::size_t>(shape.width);
  const std::size_t row = item / perRow, place = item % perRow;
  if (shape.bitCount == 4) return {row * shape.maskStride + place / 4, 7 - 2 * static_cast<int>(place % 4), 2};
  return {row * shape.maskStride + place / 8, 7 - static_cast<int>(place % 8), 1};
}

std::vector<int> colourValues(int bitCount, std::span<const std::uint8_t> itemBytes) {
  switch (bitCount) {
    case 1: return bitsOf(itemBytes[0], 7, 8);
    case 4: return {itemBytes[0] >> 4, itemBytes[0] & 0x0F};
    case 8: return {itemBytes[0]};
    default: return std::vector<int>(itemBytes.rbegin(), itemBytes.rend());  // stored blue first
  }
}

std::vector<std::uint8_t> itemBytesOf(int bitCount, const std::vector<int>& values) {
  switch (bitCount) {
    case 1: {
      std::uint8_t byte = 0;
      for (int bit : values) byte = static_cast<std::uint8_t>(byte << 1 | (bit & 1));
      return {byte};
    }
    case 4: return {static_cast<std::uint8_t>(values[0] << 4 | values[1])};
    case 8: return {static_cast<std::uint8_t>(values[0])};
    default: return std::vector<std::uint8_t>(values.rbegin(), values.rend());
  }
}

std::optional<std::vector<int>> maskValues(const PixelTableShape& shape, const RowWindow& mask, std::size_t item) {
  const MaskBits bits = maskBitsOf(shape, item);
  const auto byte = mask.at(bits.byte, 1);
  if (!byte) return std::nullopt;
  return bitsOf((*byte)[0], bits.highest, bits.count);
}

Row itemRow(const PixelTableShape& shape, std::size_t item, const RowWindow& colour, const RowWindow& mask,
            const std::vector<std::uint32_t>& palette, Mark mark) {
  Row row;
  row.caption = std::to_string(item + 1);
  row.mark = mark;
  if (mark == Mark::editable) row.range = rangeOf(shape.bitCount);
  if (const auto bytes = colour.at(itemOffset(shape, item), bytesPerItem(shape.bitCount))) {
    const std::vector<int> values = colourValues(shape.bitCount, *bytes);
    row.value = colourText(shape.bitCount, values);
    row.swatch = swatchOf(shape.bitCount, values, palette);
  }
  if (shape.hasMask)
    if (const auto bits = maskValues(shape, mask, item)) row.third = maskText(shape.bitCount, *bits);
  return row;
}

std::vector<EditBox> colourBoxes(int bitCount) {
  switch (bitCount) {
    case 1: return {EditBox::editColor};
    case 4: return {EditBox::editRes, EditBox::editR};
    case 8: return {EditBox::editRes};
    case 24: return {EditBox::editR, EditBox::editG, EditBox::editB};
    default: return {EditBox::editRes, EditBox::editR, EditBox::editG, EditBox::editB};
  }
}

std::vector<EditBox> maskBoxes(int bitCount) {
  switch (bitCount) {
    case 1: return {EditBox::editMask};
    case 4: return {EditBox::editMask1, EditBox::editMask2};
    default: return {EditBox::editMask1};
  }
}

BoxTexts boxTextsOf(int bitCount, const std::vector<int>& colour, const std::optional<std::vector<int>>& mask) {
  BoxTexts texts;
  auto fill = [&](const std::vector<EditBox>& boxes, const std::vector<int>& values) {
    if (bitCount == 1) {
      texts[boxes.front()] = bitsText(values);
      return;
    }
    for (std::size_t i = 0; i < boxes.size() && i < values.size(); ++i) texts[boxes[i]] = std::to_string(values[i]);
  };
  fill(colourBoxes(bitCount), colour);
  if (mask) fill(maskBoxes(bitCount), *mask);
  return texts;
}

std::optional<std::string> readNumbers(const BoxTexts& texts, const std::vector<EditBox>& boxes, int max,
                                       std::vector<int>& values, BoxTexts& shownBack) {
  const ValueRange range{0, max};
  for (EditBox box : boxes) {
    const std::string& text = boxText(texts, box);
    const auto number = numberInText(text, false);
    if (!number) return notANumberMessage(text, range);
    const int value = static_cast<int>(std::min<std::int64_t>(*number, max));
    if (std::to_string(value) != text) shownBack[box] = std::to_string(value);
    values.push_back(value);
  }
  return std::nullopt;
}

std::vector<int> readBits(const BoxTexts& texts, EditBox box, BoxTexts& shownBack) {
  const std::string& text = boxText(texts, box);
  std::string padded = text.substr(0, 8);
  padded.resize(8, '0');
  std::vector<int> bits;
  for (char c : padded) bits.push_back(c == '1' ? 1 : 0);
  if (bitsText(bits) != text) shownBack[box] = bitsText(bits);
  return bits;
}

}  // namespace delvix::fieldview::pixels
