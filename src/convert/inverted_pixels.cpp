#include "convert/inverted_pixels.h"

#include <algorithm>

#include "preview/frame_render.h"

namespace delvix::convert {

std::vector<bool> invertingPixels(const model::Document& document, int index, const gfx::Image& straight) {
  // Drawn plainly onto the canvas key, a masked pixel shows the key XOR its colour: the key itself unless the
  // colour inverts. The straight rendering leaves every masked pixel transparent.
  const preview::Rendering plain = preview::renderPlain(document, index);
  if (!plain.ok() || plain.image.width() != straight.width() || plain.image.height() != straight.height()) return {};
  std::vector<bool> inverting(straight.pixels().size());
  bool any = false;
  for (std::size_t i = 0; i < inverting.size(); ++i) {
    inverting[i] = gfx::alpha(straight.pixels()[i]) == 0 &&
                   gfx::withoutAlpha(plain.image.pixels()[i]) != gfx::withoutAlpha(gfx::transparentKey);
    any = any || inverting[i];
  }
  if (!any) inverting.clear();
  return inverting;
}

std::size_t drawInvertingPixels(gfx::Image& image, const std::vector<bool>& inverting, InvertedPixels how) {
  const int width = image.width();
  const int height = image.height();
  if (inverting.size() != image.pixels().size()) return 0;
  auto inverts = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < width && y < height &&
           inverting[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  };
  const auto count = static_cast<std::size_t>(std::ranges::count(inverting, true));
  if (how == InvertedPixels::transparent) return count;
  constexpr gfx::Pixel dark = gfx::rgb(0, 0, 0);
  constexpr gfx::Pixel light = gfx::rgb(255, 255, 255);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      gfx::Pixel& pixel = image.at(x, y);
      if (inverts(x, y)) {
        pixel = dark;
        continue;
      }
      if (gfx::alpha(pixel) != 0) continue;
      bool besideInverting = false;
      for (int dy = -1; dy <= 1 && !besideInverting; ++dy)
        for (int dx = -1; dx <= 1 && !besideInverting; ++dx) besideInverting = inverts(x + dx, y + dy);
      if (besideInverting) pixel = light;
    }
  }
  return count;
}

}  // namespace delvix::convert
