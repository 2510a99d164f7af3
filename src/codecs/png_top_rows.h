#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "gfx/image.h"

namespace delvix::codecs {

// The top-left `width` x `height` pixels of a PNG image (straight colours with alpha), decoding no
// more rows than that; parts outside the image stay 0. Interlaced images are decoded whole.
std::optional<gfx::Image> decodePngTopLeft(std::span<const std::uint8_t> bytes, int width, int height);

}  // namespace delvix::codecs
