#pragma once

#include <cstdint>
#include <vector>

namespace delvix::gfx {

// A pixel as 0xAARRGGBB, which is B, G, R, A in memory on the little-endian hosts we build for
// (the layout of QImage::Format_ARGB32, so the UI can wrap an Image without copying).
using Pixel = std::uint32_t;

constexpr Pixel rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
  return (Pixel{a} << 24) | (Pixel{r} << 16) | (Pixel{g} << 8) | Pixel{b};
}
constexpr std::uint8_t red(Pixel p) { return static_cast<std::uint8_t>(p >> 16); }
constexpr std::uint8_t green(Pixel p) { return static_cast<std::uint8_t>(p >> 8); }
constexpr std::uint8_t blue(Pixel p) { return static_cast<std::uint8_t>(p); }
constexpr std::uint8_t alpha(Pixel p) { return static_cast<std::uint8_t>(p >> 24); }
constexpr Pixel withoutAlpha(Pixel p) { return p & 0x00FFFFFFu; }

// The colour that marks a canvas pixel as transparent.
inline constexpr Pixel transparentKey = rgb(254, 254, 254);

// A 32-bit image, top row first.
class Image {
 public:
  Image() = default;
  Image(int width, int height, Pixel fill = 0);

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return width_ == 0 || height_ == 0; }

  Pixel at(int x, int y) const { return pixels_[index(x, y)]; }
  Pixel& at(int x, int y) { return pixels_[index(x, y)]; }
  void fill(Pixel p);

  const std::vector<Pixel>& pixels() const { return pixels_; }
  std::vector<Pixel>& pixels() { return pixels_; }

  // The top-left part of this image, `width` x `height`, padded with `fill` where this image is smaller.
  Image cropped(int width, int height, Pixel fill) const;

 private:
  std::size_t index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
  }

  int width_ = 0;
  int height_ = 0;
  std::vector<Pixel> pixels_;
};

}  // namespace delvix::gfx
