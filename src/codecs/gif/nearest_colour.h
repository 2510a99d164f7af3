#pragma once

#include <cstdint>
#include <vector>

#include "gfx/image.h"

namespace delvix::codecs::gif {

// Finds the palette entry closest to a colour (squared RGB distance; the lowest index among equals).
// The colour cube is cut into cells, and each cell, when first asked, lists the entries that can be the
// closest to some colour inside it, so a look-up compares a handful of entries instead of all of them.
class NearestColour {
 public:
  explicit NearestColour(std::vector<gfx::Pixel> palette);

  int find(int red, int green, int blue);
  int find(gfx::Pixel colour) { return find(gfx::red(colour), gfx::green(colour), gfx::blue(colour)); }

  const std::vector<gfx::Pixel>& palette() const { return palette_; }

 private:
  static constexpr int cellShift = 4;  // 16 levels a side, 16 x 16 x 16 cells
  static constexpr int cellsPerSide = 256 >> cellShift;

  const std::vector<std::uint8_t>& candidates(int cell);

  std::vector<gfx::Pixel> palette_;
  std::vector<std::vector<std::uint8_t>> cells_;
  std::vector<bool> cellReady_;
  std::vector<int> nearestInCell_;  // scratch space of candidates()
};

}  // namespace delvix::codecs::gif
