#include "gfx/line.h"

#include <cstdlib>

namespace delvix::gfx {

void drawLine(Image& target, int x0, int y0, int x1, int y1, Pixel colour) {
  const int dx = std::abs(x1 - x0);
  const int dy = -std::abs(y1 - y0);
  const int stepX = x0 < x1 ? 1 : -1;
  const int stepY = y0 < y1 ? 1 : -1;
  int error = dx + dy;
  for (;;) {
    if (x0 >= 0 && y0 >= 0 && x0 < target.width() && y0 < target.height()) target.at(x0, y0) = colour;
    if (x0 == x1 && y0 == y1) return;
    const int doubled = 2 * error;
    if (doubled >= dy) {
      error += dy;
      x0 += stepX;
    }
    if (doubled <= dx) {
      error += dx;
      y0 += stepY;
    }
  }
}

}  // namespace delvix::gfx
