#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "gfx/image.h"

namespace delvix::codecs {

// The depth a BMP is written at for a picture of `bitCount` bits: 1, 4, 8 and 24 are kept, every other
// (2, 16, 48, 64, ...) is written as 32.
int bmpBitCount(int bitCount);

// A Windows BMP file of the image (file header, 40-byte information header, palette, rows bottom up, no
// compression) at bmpBitCount(bitCount) bits per pixel. At 8 bits or fewer the palette is bmpPalette's,
// written in full (2^bits entries). At 32 bits the fourth byte is the alpha: 0 for pixels of the canvas key
// colour, so that readers that honour it show the canvas as the program does, 255 for the others.
// nullopt for an empty image or one whose file would pass 4 GiB.
std::optional<std::vector<std::uint8_t>> encodeBmp(const gfx::Image& image, int bitCount,
                                                   std::span<const gfx::Pixel> preferredColours = {});

}  // namespace delvix::codecs
