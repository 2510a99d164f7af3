#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "gfx/image.h"

namespace delvix::preview {

inline constexpr int smallestZoom = 1;
inline constexpr int largestZoom = 10;
// The most memory a whole zoomed picture may take (it is built only to be saved or copied).
inline constexpr std::size_t largestZoomedBytes = std::size_t{256} << 20;

// The zoom label: the factor as a percentage, "100%" ... "1000%".
std::string zoomLabel(int zoom);

// The image enlarged `zoom` times, each pixel a zoom x zoom square; nullopt when it would take more than
// `maxBytes`.
std::optional<gfx::Image> zoomed(const gfx::Image& image, int zoom, std::size_t maxBytes = largestZoomedBytes);

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};

// Where the plain and the alpha view sit in the scroll box. A freshly shown picture starts at (4, 4), the alpha
// view 8 pixels right of the plain one; after a zoom step both margins are multiplied by the zoom. Without
// alpha the alpha view is a 1 x 1 box beside the plain one.
struct PreviewLayout {
  Rect plain;
  Rect alpha;
};
PreviewLayout freshLayout(int width, int height, int zoom, bool withAlpha);
PreviewLayout zoomedLayout(int width, int height, int zoom, bool withAlpha);

// The pixel markers over pixel (x, y) (natural size, y from the top) at `zoom`: one pixel wide for 8 bits and
// more, the two pixels of a byte for 4 bits (x being the second), the eight of a byte for 1 bit (x being the
// last). The alpha marker is placed only for 32 bits.
struct MarkerLayout {
  Rect blitting;
  std::optional<Rect> alpha;
};
MarkerLayout markerLayout(int bitCount, int x, int y, int zoom, const PreviewLayout& layout);

}  // namespace delvix::preview
