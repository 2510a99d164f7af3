#include "codecs/gif/colour_histogram.h"

#include <algorithm>

namespace delvix::codecs::gif {

std::vector<ColourCount> colourHistogram(const gfx::Image& image) {
  std::vector<gfx::Pixel> colours;
  colours.reserve(image.pixels().size());
  for (gfx::Pixel p : image.pixels())
    if (gfx::alpha(p) != 0) colours.push_back(gfx::withoutAlpha(p));
  std::sort(colours.begin(), colours.end());

  std::vector<ColourCount> histogram;
  for (gfx::Pixel colour : colours) {
    if (histogram.empty() || histogram.back().colour != colour) histogram.push_back({colour, 0});
    ++histogram.back().count;
  }
  return histogram;
}

}  // namespace delvix::codecs::gif
