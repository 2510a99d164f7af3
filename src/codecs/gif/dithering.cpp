#include "codecs/gif/dithering.h"

#include <algorithm>
#include <array>
#include <span>

#include "codecs/gif/nearest_colour.h"

namespace delvix::codecs::gif {
namespace {

// One share of a pixel's error: `dx` columns ahead (in the direction of travel), `dy` rows down.
struct Tap {
  int dx;
  int dy;
  int weight;
};

struct Kernel {
  int divisor;
  std::span<const Tap> taps;
};

constexpr Tap floydSteinberg[] = {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}};
constexpr Tap jarvisJudiceNinke[] = {{1, 0, 7}, {2, 0, 5},  {-2, 1, 3}, {-1, 1, 5}, {0, 1, 7}, {1, 1, 5},
                                     {2, 1, 3}, {-2, 2, 1}, {-1, 2, 3}, {0, 2, 5},  {1, 2, 3}, {2, 2, 1}};
constexpr Tap stucki[] = {{1, 0, 8}, {2, 0, 4},  {-2, 1, 2}, {-1, 1, 4}, {0, 1, 8}, {1, 1, 4},
                          {2, 1, 2}, {-2, 2, 1}, {-1, 2, 2}, {0, 2, 4},  {1, 2, 2}, {2, 2, 1}};
constexpr Tap sierra[] = {{1, 0, 5}, {2, 0, 3}, {-2, 1, 2}, {-1, 1, 4}, {0, 1, 5},
                          {1, 1, 4}, {2, 1, 2}, {-1, 2, 2}, {0, 2, 3},  {1, 2, 2}};
constexpr Tap stevensonArce[] = {{2, 0, 32}, {-3, 1, 12}, {-1, 1, 26}, {1, 1, 30},  {3, 1, 16}, {-2, 2, 12},
                                 {0, 2, 26}, {2, 2, 12},  {-3, 3, 5},  {-1, 3, 12}, {1, 3, 12}, {3, 3, 5}};
constexpr Tap burkes[] = {{1, 0, 8}, {2, 0, 4}, {-2, 1, 2}, {-1, 1, 4}, {0, 1, 8}, {1, 1, 4}, {2, 1, 2}};

constexpr int rowsAhead = 4;  // the current row and up to three below
constexpr int margin = 3;     // the widest reach sideways

std::optional<Kernel> kernelOf(DitherMode mode) {
  switch (mode) {
    case DitherMode::dmFloydSteinberg: return Kernel{16, floydSteinberg};
    case DitherMode::dmStucki: return Kernel{42, stucki};
    case DitherMode::dmSierra: return Kernel{32, sierra};
    case DitherMode::dmJaJuNI: return Kernel{48, jarvisJudiceNinke};
    case DitherMode::dmSteveArche: return Kernel{200, stevensonArce};
    case DitherMode::dmBurkes: return Kernel{32, burkes};
    case DitherMode::dmNearest: break;
  }
  return std::nullopt;
}

bool isTransparent(gfx::Pixel p) { return gfx::alpha(p) == 0; }

// Rounds numerator / divisor to the nearest integer, halves away from zero.
int dividedRounded(int numerator, int divisor) {
  return numerator >= 0 ? (numerator + divisor / 2) / divisor : -((-numerator + divisor / 2) / divisor);
}

// The weighted errors owed to the pixels of the next rows, in units of 1 / divisor, as a ring of rows.
class ErrorRows {
 public:
  explicit ErrorRows(int width) : stride_(static_cast<std::size_t>(width + 2 * margin)) {
    values_.assign(rowsAhead * stride_ * 3, 0);
  }
  int* at(int y, int x) {
    const auto row = static_cast<std::size_t>(y % rowsAhead);
    return &values_[(row * stride_ + static_cast<std::size_t>(x + margin)) * 3];
  }
  void clearRow(int y) {
    const auto row = static_cast<std::size_t>(y % rowsAhead);
    std::fill_n(values_.begin() + static_cast<std::ptrdiff_t>(row * stride_ * 3), stride_ * 3, 0);
  }

 private:
  std::size_t stride_;
  std::vector<int> values_;
};

void diffuse(const gfx::Image& image, NearestColour& nearest, const Kernel& kernel, std::uint8_t transparent,
             std::vector<std::uint8_t>& indexes) {
  const int width = image.width();
  const int height = image.height();
  const auto& palette = nearest.palette();
  ErrorRows errors(width);
  for (int y = 0; y < height; ++y) {
    const bool leftToRight = y % 2 == 0;
    const int direction = leftToRight ? 1 : -1;
    for (int step = 0; step < width; ++step) {
      const int x = leftToRight ? step : width - 1 - step;
      const gfx::Pixel p = image.at(x, y);
      const std::size_t at =
          static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
      if (isTransparent(p)) {
        indexes[at] = transparent;
        continue;
      }
      const int* owed = errors.at(y, x);
      const int wanted[3] = {std::clamp(gfx::red(p) + dividedRounded(owed[0], kernel.divisor), 0, 255),
                             std::clamp(gfx::green(p) + dividedRounded(owed[1], kernel.divisor), 0, 255),
                             std::clamp(gfx::blue(p) + dividedRounded(owed[2], kernel.divisor), 0, 255)};
      const int chosen = nearest.find(wanted[0], wanted[1], wanted[2]);
      indexes[at] = static_cast<std::uint8_t>(chosen);
      const gfx::Pixel got = palette[static_cast<std::size_t>(chosen)];
      const int error[3] = {wanted[0] - gfx::red(got), wanted[1] - gfx::green(got), wanted[2] - gfx::blue(got)};
      for (const Tap& tap : kernel.taps) {
        const int tx = x + tap.dx * direction;
        const int ty = y + tap.dy;
        if (tx < 0 || tx >= width || ty >= height) continue;
        if (isTransparent(image.at(tx, ty))) continue;
        int* target = errors.at(ty, tx);
        for (int c = 0; c < 3; ++c) target[c] += error[c] * tap.weight;
      }
    }
    errors.clearRow(y);
  }
}

}  // namespace

std::vector<std::uint8_t> mapToPalette(const gfx::Image& image, const std::vector<gfx::Pixel>& palette, DitherMode mode,
                                       std::optional<int> transparentIndex) {
  const auto transparent = static_cast<std::uint8_t>(transparentIndex.value_or(0));
  std::vector<std::uint8_t> indexes(image.pixels().size(), transparent);
  if (palette.empty()) return indexes;
  NearestColour nearest(palette);
  if (auto kernel = kernelOf(mode)) {
    diffuse(image, nearest, *kernel, transparent, indexes);
    return indexes;
  }
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    const gfx::Pixel p = image.pixels()[i];
    if (!isTransparent(p)) indexes[i] = static_cast<std::uint8_t>(nearest.find(p));
  }
  return indexes;
}

}  // namespace delvix::codecs::gif
