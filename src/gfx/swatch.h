#pragma once

#include <cstdint>

#include "gfx/image.h"

namespace delvix::gfx {

// A 16 x 16 picture on white with a circle from (2, 2) to (14, 14) filled with the colour and
// outlined in black, one pixel wide.
Image makeColourSwatch(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

}  // namespace delvix::gfx
