#include "gfx/swatch.h"

namespace delvix::gfx {

namespace {

// The circle inscribed in the box (2, 2)-(14, 14), right and bottom edges excluded as in GDI.
bool insideCircle(int x, int y) {
  double dx = x + 0.5 - 8.0;
  double dy = y + 0.5 - 8.0;
  return dx * dx + dy * dy <= 36.0;
}

}  // namespace

Image makeColourSwatch(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  Image image(16, 16, rgb(255, 255, 255));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      if (!insideCircle(x, y)) continue;
      bool edge = !insideCircle(x - 1, y) || !insideCircle(x + 1, y) || !insideCircle(x, y - 1) || !insideCircle(x, y + 1);
      image.at(x, y) = edge ? rgb(0, 0, 0) : rgb(r, g, b);
    }
  return image;
}

}  // namespace delvix::gfx
