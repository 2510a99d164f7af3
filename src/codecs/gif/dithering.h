#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "codecs/gif/gif_codec.h"
#include "gfx/image.h"

namespace delvix::codecs::gif {

// The palette index of each pixel (top row first). With an error-diffusion mode each pixel's error (its
// colour plus the error it received, clamped to 0..255, minus the chosen entry) is spread over the pixels
// not yet visited, in serpentine order: even rows left to right, odd rows right to left, the kernel mirrored.
// Pixels of alpha 0 are transparent: they get `transparentIndex` and neither give nor take error; all
// others count as opaque. An empty palette gives every pixel the transparent index (or 0).
std::vector<std::uint8_t> mapToPalette(const gfx::Image& image, const std::vector<gfx::Pixel>& palette, DitherMode mode,
                                       std::optional<int> transparentIndex);

}  // namespace delvix::codecs::gif
