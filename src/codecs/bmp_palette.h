#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "gfx/image.h"

namespace delvix::codecs {

// The palette a BMP of 1, 4 or 8 bits per pixel is written with (opaque colours, at most 2^bitCount): the
// picture's own colours when they fit (in the order of `preferred` when that holds them all, else in the order
// they first appear); otherwise `preferred`, cut to 2^bitCount entries, when not empty; otherwise the standard
// palette of that depth. Pixels whose colour the palette lacks take its nearest entry.
std::vector<gfx::Pixel> bmpPalette(const gfx::Image& image, int bitCount, std::span<const gfx::Pixel> preferred);

// Black and white; the 16 colours of the VGA palette; the 6 x 7 x 6 colour cube and four greys.
std::vector<gfx::Pixel> standardPalette(int bitCount);

// The distinct colours (alpha ignored) of the image in the order they first appear, or nullopt when it has
// more than `limit` (at most 256).
std::optional<std::vector<gfx::Pixel>> distinctColours(const gfx::Image& image, std::size_t limit);

// The palette entry nearest to each colour (squared distance in RGB; an exact entry when there is one, the
// first of equals). Answers are kept in a cache of fixed size, so a picture of many colours costs no more
// memory than one of a few.
class PaletteMatcher {
 public:
  explicit PaletteMatcher(std::span<const gfx::Pixel> palette);
  std::uint8_t indexOf(gfx::Pixel colour);

 private:
  struct Slot {
    gfx::Pixel colour = 0;
    std::uint8_t index = 0;
    bool used = false;
  };
  std::uint8_t nearest(gfx::Pixel colour) const;

  std::vector<gfx::Pixel> palette_;
  std::vector<Slot> cache_;
};

}  // namespace delvix::codecs
