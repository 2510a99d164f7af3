#include "preview/zoom.h"

#include <algorithm>

namespace delvix::preview {

std::string zoomLabel(int zoom) { return std::to_string(zoom * 100) + "%"; }

std::optional<gfx::Image> zoomed(const gfx::Image& image, int zoom, std::size_t maxBytes) {
  if (zoom < 1) return std::nullopt;
  const std::uint64_t width = std::uint64_t(image.width()) * std::uint64_t(zoom);
  const std::uint64_t height = std::uint64_t(image.height()) * std::uint64_t(zoom);
  if (width > INT32_MAX || height > INT32_MAX || width * height > maxBytes / sizeof(gfx::Pixel)) return std::nullopt;
  gfx::Image result(static_cast<int>(width), static_cast<int>(height));
  for (int y = 0; y < result.height(); ++y) {
    const gfx::Pixel* source = &image.pixels()[static_cast<std::size_t>(y / zoom) * std::size_t(image.width())];
    gfx::Pixel* row = &result.at(0, y);
    for (int x = 0; x < image.width(); ++x) std::fill_n(row + std::size_t(x) * std::size_t(zoom), zoom, source[x]);
  }
  return result;
}

PreviewLayout freshLayout(int width, int height, int zoom, bool withAlpha) {
  PreviewLayout layout;
  layout.plain = {4, 4, width * zoom, height * zoom};
  layout.alpha = withAlpha ? Rect{layout.plain.width + 8, 4, layout.plain.width, layout.plain.height}
                           : Rect{layout.plain.width + 8, 4, 1, 1};
  return layout;
}

PreviewLayout zoomedLayout(int width, int height, int zoom, bool withAlpha) {
  PreviewLayout layout;
  layout.plain = {4 * zoom, 4 * zoom, width * zoom, height * zoom};
  layout.alpha = withAlpha ? Rect{layout.plain.width + 8 * zoom, 4 * zoom, layout.plain.width, layout.plain.height}
                           : Rect{layout.plain.width + 8 * zoom, 4, 1, 1};
  return layout;
}

MarkerLayout markerLayout(int bitCount, int x, int y, int zoom, const PreviewLayout& layout) {
  const int top = layout.plain.top + zoom * y;
  MarkerLayout markers;
  switch (bitCount) {
    case 4: markers.blitting = {layout.plain.left + zoom * (x - 1), top, 2 * zoom, zoom}; break;
    case 1: markers.blitting = {layout.plain.left + zoom * (x - 7), top, 8 * zoom, zoom}; break;
    default: markers.blitting = {layout.plain.left + zoom * x, top, zoom, zoom};
  }
  if (bitCount == 32) markers.alpha = Rect{layout.alpha.left + zoom * x, layout.alpha.top + zoom * y, zoom, zoom};
  return markers;
}

}  // namespace delvix::preview
