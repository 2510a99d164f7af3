#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fieldview/apply.h"
#include "fieldview/pixel_table.h"
#include "model/node.h"

// What the listing, the row selection and Apply of a pixel table share: where an item's bytes and mask bits
// are, what they read as, and how the edit boxes map onto them.
namespace delvix::fieldview::pixels {

// Where the rows of a "color_bitmap" or "mask_bitmap" block start.
inline constexpr std::size_t rowsAt = 8;

// The rows of a "color_bitmap" or "mask_bitmap" block (from byte 8), cut to the length stored at byte 4 and
// to the block.
std::span<const std::uint8_t> storedRows(const model::Block& block);

// The sibling right before or after `node`, when it has that name.
model::Node* siblingBefore(const model::Node& node, std::string_view name);
model::Node* siblingAfter(const model::Node& node, std::string_view name);

// The colours (0x00RRGGBB) of the "color_table" right before the colour bitmap; empty without one.
std::vector<std::uint32_t> paletteOf(const model::Node& colourBitmap);

// Bytes [base, base + bytes.size()) of a block's rows: a whole block, or the part a page needs.
struct RowWindow {
  std::span<const std::uint8_t> bytes;
  std::size_t base = 0;

  // The `size` bytes at `offset` of the rows, when the window holds all of them.
  std::optional<std::span<const std::uint8_t>> at(std::size_t offset, std::size_t size) const;
};

std::size_t bytesPerItem(int bitCount);
// Where item `item`'s bytes start in the rows.
std::size_t itemOffset(const PixelTableShape& shape, std::size_t item);

// The mask bits that show the same pixels as an item: `count` bits of mask byte `byte` from bit `highest`
// down, in pixel order.
struct MaskBits {
  std::size_t byte = 0;
  int highest = 7;
  int count = 1;
};
MaskBits maskBitsOf(const PixelTableShape& shape, std::size_t item);

// An item's values in the order of its edit boxes: the 8 bits of the byte (1 bit), high and low index
// (4 bits), the index (8 bits), red green blue (24 bits), alpha red green blue (32 bits).
std::vector<int> colourValues(int bitCount, std::span<const std::uint8_t> itemBytes);
// The item's bytes for those values.
std::vector<std::uint8_t> itemBytesOf(int bitCount, const std::vector<int>& values);
// The item's mask bits, nullopt when the mask rows do not hold its byte.
std::optional<std::vector<int>> maskValues(const PixelTableShape& shape, const RowWindow& mask, std::size_t item);

// The row of item `item` as the table lists it; its values are empty when the window does not hold them.
Row itemRow(const PixelTableShape& shape, std::size_t item, const RowWindow& colour, const RowWindow& mask,
            const std::vector<std::uint32_t>& palette, Mark mark);

// The edit boxes of the colour values and of the mask bits, in value order.
std::vector<EditBox> colourBoxes(int bitCount);
std::vector<EditBox> maskBoxes(int bitCount);
// The texts the boxes take for these values.
BoxTexts boxTextsOf(int bitCount, const std::vector<int>& colour, const std::optional<std::vector<int>>& mask);

// Reads whole numbers from `boxes`, each limited to 0 .. max; a limited value is written to `shownBack`.
// The refusal message when a box holds no number.
std::optional<std::string> readNumbers(const BoxTexts& texts, const std::vector<EditBox>& boxes, int max,
                                       std::vector<int>& values, BoxTexts& shownBack);
// Reads a box of eight 0/1 characters: "1" is a set bit, anything else a clear one, a short text is padded
// with "0"; the bits are shown back as eight 0/1 characters when the text read otherwise.
std::vector<int> readBits(const BoxTexts& texts, EditBox box, BoxTexts& shownBack);

}  // namespace delvix::fieldview::pixels
