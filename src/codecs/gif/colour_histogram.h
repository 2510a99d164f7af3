#pragma once

#include <cstdint>
#include <vector>

#include "gfx/image.h"

namespace delvix::codecs::gif {

struct ColourCount {
  gfx::Pixel colour = 0;
  std::uint32_t count = 0;
};

// The distinct colours of the picture's opaque pixels with how often each occurs, in colour order, as
// 0x00RRGGBB; pixels of alpha 0 (transparent) are left out.
std::vector<ColourCount> colourHistogram(const gfx::Image& image);

}  // namespace delvix::codecs::gif
