#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "gfx/image.h"

namespace delvix::codecs {

enum class PngAlpha {
  // Each pixel's own alpha is written.
  own,
  // The canvas key (RGB 254, 254, 254) is written fully transparent and every other pixel opaque.
  keyTransparent,
};

// PNG bytes of the image (RGBA, 8 bits a channel); nullopt when libpng refuses it or memory runs out.
std::optional<std::vector<std::uint8_t>> encodePng(const gfx::Image& image, PngAlpha alpha = PngAlpha::own);

}  // namespace delvix::codecs
