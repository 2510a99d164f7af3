#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "gfx/dib_draw.h"
#include "gfx/image.h"

namespace delvix::gfx {

struct DibDecodeResult {
  std::optional<Image> image;
  std::string problem;  // why there is no image
};

// Decodes a packed device-independent bitmap (a bitmap resource: header, masks, palette, pixels) into
// an opaque image, the way the platform loads bitmap resources. Takes core (12-byte) and 40- to
// 124-byte headers; 1, 4, 8, 16, 24 and 32 bits per pixel; uncompressed, RLE8, RLE4 and bit fields;
// bottom-up and top-down rows. Pixels missing from a cut-short bitmap are black. Images of more
// than `maxPixels` pixels are refused before anything is allocated.
DibDecodeResult decodePackedDib(ConstBytes dib, std::size_t maxPixels);

}  // namespace delvix::gfx
