#pragma once

#include <cstdint>

#include "gfx/image.h"

namespace delvix::gfx {

// 16 x 16 pictures of a colour for a table row, on a transparent ground, outlined in black one pixel wide.

// A disc inscribed in the box (2, 2)-(14, 14), filled with the colour.
Image makeColourSwatch(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
// Two discs side by side in the lower half, in the boxes (0, 8)-(8, 16) and (8, 8)-(16, 16): the two pixels
// of a byte of a 16-colour bitmap.
Image makeTwoColourSwatch(Pixel left, Pixel right);
// A square outline from (2, 2) to (14, 14) with its inside (3, 3)-(13, 13) filled: a colour-table entry.
Image makeTableSwatch(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

}  // namespace delvix::gfx
