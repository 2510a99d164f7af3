#include "codecs/gif/palettes.h"

#include <algorithm>
#include <array>

namespace delvix::codecs::gif {
namespace {

constexpr std::array<gfx::Pixel, 20> windowsStatic = {
    gfx::rgb(0, 0, 0),       gfx::rgb(128, 0, 0),     gfx::rgb(0, 128, 0),     gfx::rgb(128, 128, 0),
    gfx::rgb(0, 0, 128),     gfx::rgb(128, 0, 128),   gfx::rgb(0, 128, 128),   gfx::rgb(192, 192, 192),
    gfx::rgb(192, 220, 192), gfx::rgb(166, 202, 240), gfx::rgb(255, 251, 240), gfx::rgb(160, 160, 164),
    gfx::rgb(128, 128, 128), gfx::rgb(255, 0, 0),     gfx::rgb(0, 255, 0),     gfx::rgb(255, 255, 0),
    gfx::rgb(0, 0, 255),     gfx::rgb(255, 0, 255),   gfx::rgb(0, 255, 255),   gfx::rgb(255, 255, 255)};

// Indexes into windowsStatic, most useful first.
constexpr std::array<int, 20> reservationOrder = {0, 19, 13, 14, 16, 15, 18, 17, 7, 12, 1, 2, 4, 3, 6, 5, 11, 8, 9, 10};

constexpr int cubeSteps = 6;
constexpr int cubeStride = 51;

bool isCubeCorner(int r, int g, int b) {
  auto extreme = [](int level) { return level == 0 || level == cubeSteps - 1; };
  return extreme(r) && extreme(g) && extreme(b);
}

}  // namespace

std::vector<gfx::Pixel> netscapePalette() {
  std::vector<gfx::Pixel> palette;
  palette.reserve(cubeSteps * cubeSteps * cubeSteps);
  for (int r = 0; r < cubeSteps; ++r)
    for (int g = 0; g < cubeSteps; ++g)
      for (int b = 0; b < cubeSteps; ++b)
        palette.push_back(gfx::rgb(static_cast<std::uint8_t>(r * cubeStride), static_cast<std::uint8_t>(g * cubeStride),
                                   static_cast<std::uint8_t>(b * cubeStride)));
  return palette;
}

std::vector<gfx::Pixel> monochromePalette() { return grayPalette(2); }

std::vector<gfx::Pixel> grayPalette(int count) {
  count = std::clamp(count, 2, 256);
  std::vector<gfx::Pixel> palette;
  palette.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const auto level = static_cast<std::uint8_t>((i * 255 + (count - 1) / 2) / (count - 1));
    palette.push_back(gfx::rgb(level, level, level));
  }
  return palette;
}

std::vector<gfx::Pixel> windowsGrayPalette() {
  return {gfx::rgb(0, 0, 0), gfx::rgb(128, 128, 128), gfx::rgb(192, 192, 192), gfx::rgb(255, 255, 255)};
}

std::vector<gfx::Pixel> windows20Palette() { return {windowsStatic.begin(), windowsStatic.end()}; }

std::vector<gfx::Pixel> windowsHalftonePalette(int entries) {
  constexpr int staticCount = 20;
  constexpr int cubeCount = cubeSteps * cubeSteps * cubeSteps - 8;
  entries = std::clamp(entries, staticCount + cubeCount, 256);
  const int greys = entries - staticCount - cubeCount;

  std::vector<gfx::Pixel> palette(windowsStatic.begin(), windowsStatic.begin() + 10);
  for (int r = 0; r < cubeSteps; ++r)
    for (int g = 0; g < cubeSteps; ++g)
      for (int b = 0; b < cubeSteps; ++b)
        if (!isCubeCorner(r, g, b))
          palette.push_back(gfx::rgb(static_cast<std::uint8_t>(r * cubeStride),
                                     static_cast<std::uint8_t>(g * cubeStride),
                                     static_cast<std::uint8_t>(b * cubeStride)));
  // 28 steps between black and white, none on a grey already present; a shorter palette drops the lightest.
  constexpr int greySteps = 29;
  for (int i = 1; i <= greys; ++i) {
    const auto level = static_cast<std::uint8_t>((i * 255 + greySteps / 2) / greySteps);
    palette.push_back(gfx::rgb(level, level, level));
  }
  palette.insert(palette.end(), windowsStatic.begin() + 10, windowsStatic.end());
  return palette;
}

std::vector<gfx::Pixel> reservedWindowsColours(int count) {
  count = std::clamp(count, 0, static_cast<int>(reservationOrder.size()));
  std::vector<gfx::Pixel> colours;
  for (int i = 0; i < count; ++i) colours.push_back(windowsStatic[static_cast<std::size_t>(reservationOrder[i])]);
  return colours;
}

}  // namespace delvix::codecs::gif
