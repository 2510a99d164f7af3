#include "gfx/swatch.h"

namespace delvix::gfx {

namespace {

constexpr int side = 16;
constexpr Pixel outline = rgb(0, 0, 0);

// The ellipse inscribed in the box [left, right) x [top, bottom), right and bottom edges excluded as the
// Windows drawing functions do.
struct Ellipse {
  int left, top, right, bottom;

  bool contains(int x, int y) const {
    const double rx = (right - left) / 2.0, ry = (bottom - top) / 2.0;
    const double dx = (x + 0.5 - left - rx) / rx, dy = (y + 0.5 - top - ry) / ry;
    return dx * dx + dy * dy <= 1.0;
  }
};

void drawDisc(Image& image, const Ellipse& disc, Pixel fill) {
  for (int y = disc.top; y < disc.bottom; ++y)
    for (int x = disc.left; x < disc.right; ++x) {
      if (!disc.contains(x, y)) continue;
      const bool edge =
          !disc.contains(x - 1, y) || !disc.contains(x + 1, y) || !disc.contains(x, y - 1) || !disc.contains(x, y + 1);
      image.at(x, y) = edge ? outline : fill;
    }
}

}  // namespace

Image makeColourSwatch(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  Image image(side, side);
  drawDisc(image, {2, 2, 14, 14}, rgb(r, g, b));
  return image;
}

Image makeTwoColourSwatch(Pixel left, Pixel right) {
  Image image(side, side);
  drawDisc(image, {0, 8, 8, 16}, left | 0xFF000000u);
  drawDisc(image, {8, 8, 16, 16}, right | 0xFF000000u);
  return image;
}

Image makeTableSwatch(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  Image image(side, side);
  for (int y = 2; y <= 14; ++y)
    for (int x = 2; x <= 14; ++x) image.at(x, y) = x == 2 || x == 14 || y == 2 || y == 14 ? outline : rgb(r, g, b);
  return image;
}

}  // namespace delvix::gfx
