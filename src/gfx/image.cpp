#include "gfx/image.h"

#include <algorithm>
#include <stdexcept>

namespace delvix::gfx {

Image::Image(int width, int height, Pixel fill) {
  if (width < 0 || height < 0) throw std::invalid_argument("negative image size");
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
}

void Image::fill(Pixel p) { std::fill(pixels_.begin(), pixels_.end(), p); }

Image Image::cropped(int width, int height, Pixel fill) const {
  Image result(width, height, fill);
  int w = std::min(width, width_);
  int h = std::min(height, height_);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) result.at(x, y) = at(x, y);
  return result;
}

}  // namespace delvix::gfx
