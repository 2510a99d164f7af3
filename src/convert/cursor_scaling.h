#pragma once

#include <cstdint>

#include "gfx/image.h"

namespace delvix::convert {

// `image` (straight alpha) scaled to width x height: each target pixel the area average of the source pixels
// it covers, weighted by alpha so that transparent pixels lend no colour; a pure enlargement by a whole
// factor repeats pixels exactly.
gfx::Image scaledImage(const gfx::Image& image, int width, int height);

// A hot-spot coordinate of a picture `from` pixels wide scaled to one `to` pixels wide (rounded down, as theme
// authors scale them), inside the new picture.
std::uint32_t scaledHotSpot(std::uint32_t spot, std::uint32_t from, std::uint32_t to);

}  // namespace delvix::convert
