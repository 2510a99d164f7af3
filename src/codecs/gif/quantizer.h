#pragma once

#include <vector>

#include "codecs/gif/colour_histogram.h"
#include "gfx/image.h"

namespace delvix::codecs::gif {

// An optimised palette for the histogram's colours: the `reserved` colours first, then at most `count` more.
// When the colours that are not reserved number `count` or fewer they are taken as they are; otherwise they
// are cut into `count` boxes, each time splitting the box of the largest squared error where the split
// leaves the least, and the boxes' means are refined by a few rounds of k-means (the reserved colours stay).
std::vector<gfx::Pixel> optimisedPalette(std::vector<ColourCount> histogram, int count,
                                         const std::vector<gfx::Pixel>& reserved = {});

}  // namespace delvix::codecs::gif
