#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "gfx/image.h"

namespace delvix::codecs {

// One frame of an animated PNG: which picture it shows and for how long, numerator / denominator seconds.
struct ApngFrame {
  std::size_t picture = 0;
  std::uint16_t delayNumerator = 0;
  std::uint16_t delayDenominator = 1;  // never 0, which decoders read as 100
};

// An animated PNG (RGBA, each pixel's own alpha) that plays `frames` in order and starts again without end.
// The first frame is also the default image, for decoders that show only one. Every frame covers the whole
// picture and replaces what was there. Each picture is compressed once, however many frames show it. nullopt
// when there are no frames, the pictures differ in size, a frame names no picture or libpng refuses one.
std::optional<std::vector<std::uint8_t>> encodeApng(std::span<const gfx::Image> pictures,
                                                    std::span<const ApngFrame> frames);

}  // namespace delvix::codecs
