#include "convert/cursor_scaling.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace delvix::convert {

gfx::Image scaledImage(const gfx::Image& image, int width, int height) {
  gfx::Image result(width, height);
  if (image.empty() || width <= 0 || height <= 0) return result;
  const double sx = static_cast<double>(image.width()) / width;
  const double sy = static_cast<double>(image.height()) / height;
  for (int y = 0; y < height; ++y) {
    const double top = y * sy;
    const double bottom = std::max(top + sy, top + 1e-9);
    for (int x = 0; x < width; ++x) {
      const double left = x * sx;
      const double right = std::max(left + sx, left + 1e-9);
      // Premultiplied sums over the covered area, each source pixel weighted by how much of it is covered.
      std::array<double, 4> sum{};  // alpha, red, green, blue
      double area = 0;
      for (int v = static_cast<int>(top); v < std::min(image.height(), static_cast<int>(std::ceil(bottom))); ++v) {
        const double h = std::min<double>(v + 1, bottom) - std::max<double>(v, top);
        for (int u = static_cast<int>(left); u < std::min(image.width(), static_cast<int>(std::ceil(right))); ++u) {
          const double weight = h * (std::min<double>(u + 1, right) - std::max<double>(u, left));
          if (weight <= 0) continue;
          const gfx::Pixel p = image.at(u, v);
          const double a = gfx::alpha(p);
          sum[0] += weight * a;
          sum[1] += weight * a * gfx::red(p);
          sum[2] += weight * a * gfx::green(p);
          sum[3] += weight * a * gfx::blue(p);
          area += weight;
        }
      }
      if (area <= 0 || sum[0] <= 0) continue;
      auto channel = [&](double value) { return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L)); };
      result.at(x, y) = gfx::rgb(channel(sum[1] / sum[0]), channel(sum[2] / sum[0]), channel(sum[3] / sum[0]),
                                 channel(sum[0] / area));
    }
  }
  return result;
}

std::uint32_t scaledHotSpot(std::uint32_t spot, std::uint32_t from, std::uint32_t to) {
  if (from == 0 || to == 0) return 0;
  const std::uint64_t scaled = std::uint64_t{spot} * to / from;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(scaled, to - 1));
}

}  // namespace delvix::convert
