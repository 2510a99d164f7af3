#include "codecs/gif/nearest_colour.h"

#include <algorithm>
#include <limits>

namespace delvix::codecs::gif {
namespace {

// The squared distance from `level` to the nearest and to the farthest level of [low, high]; plain
// arithmetic, as this runs for every entry of every cell.
inline int nearestSquare(int level, int low, int high) {
  const int d = level < low ? low - level : level > high ? level - high : 0;
  return d * d;
}
inline int farthestSquare(int level, int low, int high) {
  const int d = level - low > high - level ? level - low : high - level;
  return d * d;
}

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
  const int highR = lowR + side - 1, highG = lowG + side - 1, highB = lowB + side - 1;
  // An entry nearer to no point of the cell than some other entry is to all of them can never win there.
  nearestInCell_.resize(palette_.size());
  int bound = std::numeric_limits<int>::max();
  for (std::size_t i = 0; i < palette_.size(); ++i) {
    const int r = gfx::red(palette_[i]), g = gfx::green(palette_[i]), b = gfx::blue(palette_[i]);
    nearestInCell_[i] = nearestSquare(r, lowR, highR) + nearestSquare(g, lowG, highG) + nearestSquare(b, lowB, highB);
    const int farthest =
        farthestSquare(r, lowR, highR) + farthestSquare(g, lowG, highG) + farthestSquare(b, lowB, highB);
    if (farthest < bound) bound = farthest;
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
    const int dr = gfx::red(p) - red, dg = gfx::green(p) - green, db = gfx::blue(p) - blue;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return best;
}

}  // namespace delvix::codecs::gif
