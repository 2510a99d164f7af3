#include "codecs/gif/nearest_colour.h"

#include <algorithm>
#include <limits>

namespace delvix::codecs::gif {
namespace {

int square(int v) { return v * v; }

// The squared distance from `level` to the nearest and to the farthest level of [low, low + side).
int nearestSquare(int level, int low, int side) { return square(std::max({0, low - level, level - (low + side - 1)})); }
int farthestSquare(int level, int low, int side) { return square(std::max(level - low, low + side - 1 - level)); }

}  // namespace

NearestColour::NearestColour(std::vector<gfx::Pixel> palette)
    : palette_(std::move(palette)),
      cells_(cellsPerSide * cellsPerSide * cellsPerSide),
      cellReady_(cells_.size(), false) {
  if (palette_.size() > 256) palette_.resize(256);
}

const std::vector<std::uint8_t>& NearestColour::candidates(int cell) {
  auto& list = cells_[static_cast<std::size_t>(cell)];
  if (cellReady_[static_cast<std::size_t>(cell)]) return list;
  cellReady_[static_cast<std::size_t>(cell)] = true;

  const int side = 1 << cellShift;
  const int lowR = (cell / (cellsPerSide * cellsPerSide)) * side;
  const int lowG = (cell / cellsPerSide % cellsPerSide) * side;
  const int lowB = (cell % cellsPerSide) * side;
  // An entry nearer to no point of the cell than some other entry is to all of them can never win there.
  nearestInCell_.resize(palette_.size());
  int bound = std::numeric_limits<int>::max();
  for (std::size_t i = 0; i < palette_.size(); ++i) {
    const int r = gfx::red(palette_[i]), g = gfx::green(palette_[i]), b = gfx::blue(palette_[i]);
    nearestInCell_[i] = nearestSquare(r, lowR, side) + nearestSquare(g, lowG, side) + nearestSquare(b, lowB, side);
    bound =
        std::min(bound, farthestSquare(r, lowR, side) + farthestSquare(g, lowG, side) + farthestSquare(b, lowB, side));
  }
  for (std::size_t i = 0; i < palette_.size(); ++i)
    if (nearestInCell_[i] <= bound) list.push_back(static_cast<std::uint8_t>(i));
  return list;
}

int NearestColour::find(int red, int green, int blue) {
  if (palette_.empty()) return 0;
  red = std::clamp(red, 0, 255);
  green = std::clamp(green, 0, 255);
  blue = std::clamp(blue, 0, 255);
  const int cell = ((red >> cellShift) * cellsPerSide + (green >> cellShift)) * cellsPerSide + (blue >> cellShift);
  int best = 0;
  int bestDistance = std::numeric_limits<int>::max();
  for (std::uint8_t i : candidates(cell)) {
    const gfx::Pixel p = palette_[i];
    const int distance = square(gfx::red(p) - red) + square(gfx::green(p) - green) + square(gfx::blue(p) - blue);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return best;
}

}  // namespace delvix::codecs::gif
