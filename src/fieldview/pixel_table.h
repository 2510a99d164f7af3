#pragma once

#include <cstddef>
#include <optional>

#include "fieldview/apply.h"
#include "fieldview/list_node.h"
#include "fieldview/listing.h"
#include "model/document.h"

// The pixel table of a "color_bitmap": its pages of items, the rows selected and applied, the pixel a click
// on the preview picks; and the editing of the colour table that 4- and 8-bit pixels index.
namespace delvix::fieldview {

// Rows on one page of a pixel table, whatever the bit count.
inline constexpr std::size_t itemsPerPage = 360;

// What a pixel table reads from a "color_bitmap" block (u16 bit count, u16 row stride, u32 length of the
// rows, then the rows) and from the picture's other parts.
//
// An item is one table row: a stored byte for 1, 4 and 8 bits (filler bytes at the ends of rows included),
// a pixel for 24 and 32 bits (row by row, the filler skipped).
struct PixelTableShape {
  int bitCount = 0;  // 1, 4, 8, 24 or 32
  // The items whose bytes the block holds.
  std::size_t itemCount = 0;
  std::size_t stride = 0;  // bytes per stored row
  // The image in pixels, from the picture's "bitm_info": half the stored height when a mask follows.
  int width = 0, height = 0;
  // A negative stored height without a mask (bitmap resources): the top row is stored first.
  bool topDown = false;
  // The picture's next part is "mask_bitmap"; `maskStride` is its row stride (0 when it has no header).
  bool hasMask = false;
  std::size_t maskStride = 0;

  std::size_t pageCount() const { return (itemCount + itemsPerPage - 1) / itemsPerPage; }
};

// nullopt when the node has no rows header, an unlisted bit count, no "bitm_info" before it, an empty
// image, or a stride too short for the width.
std::optional<PixelTableShape> pixelTableShape(const model::Node& colourBitmap);

// The table of page `page` (from 0) of a "color_bitmap" whose values are shown (state image 8); listing
// the node shows page 0. A node that cannot be listed, a hidden one or a page past the last gives the
// cleared view with no rows.
Listing listPixelPage(const model::Document& document, const model::Node& colourBitmap, std::size_t page,
                      const FieldSettings& settings, int zoomFactor);

// The run of pixels a pixel row stands for, natural size: `width` pixels on image row `y` (from the top),
// the last of them (the rightmost) at column `x`; they are x - width + 1 .. x.
struct PixelMark {
  int x = 0, y = 0, width = 1;
  bool operator==(const PixelMark&) const = default;
};

struct PixelRowSelection {
  // The texts the visible edit boxes take.
  BoxTexts boxes;
  // Unset when the marked pixel lies in the filler of a stored row, or the row is past the table.
  std::optional<PixelMark> mark;
};

// Selecting row `row` of page `page`.
PixelRowSelection selectPixelRow(const model::Node& colourBitmap, std::size_t page, std::size_t row);

// Selecting entry `row` of a "color_table": reserved, red, green and blue into EditRes, EditR, EditG and
// EditB; nothing for a row past the table.
BoxTexts selectColourTableRow(const model::Node& colourTable, std::size_t row);

struct PixelPick {
  std::size_t page = 0, row = 0;
  bool operator==(const PixelPick&) const = default;
};

// The page and row that show image pixel (x, y) (natural size, y from the top); nullopt outside the image
// or past the rows stored.
std::optional<PixelPick> pickPixel(const model::Node& colourBitmap, int x, int y);

// Apply on row `row` of page `page`: every visible box is read and checked, then the item's bytes (and its
// mask bits when the picture has a mask) are written. Values above what a box holds are limited and shown
// back; an empty or non-numeric box refuses the edit. The result names the picture, whose thumbnail the list
// draws again.
ApplyResult applyPixelRow(model::Document& document, model::Node& colourBitmap, std::size_t page, std::size_t row,
                          const BoxTexts& texts);

// Apply on entry `row` of a "color_table" from EditRes, EditR, EditG and EditB. Only an uncompressed
// picture's table is edited.
ApplyResult applyColourTableRow(model::Document& document, model::Node& colourTable, std::size_t row,
                                const BoxTexts& texts);

}  // namespace delvix::fieldview
