#pragma once

#include <optional>

#include "model/document.h"

namespace delvix::preview {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// The hot spot of picture `index` (0-based) as the file stores it, x and y from the picture's top-left pixel:
// a cursor file's directory entry (header type 2), the frame header of an animated cursor's frame that holds
// a cursor, the hot-spot record of a module's cursor. Nullopt for icons and bitmaps, for a picture that is not
// there and for a block cut short.
std::optional<Point> hotSpotOf(const model::Document& document, int index);

// The cross that marks a hot spot on the preview, in the view's pixels: centred on the middle of the hot-spot
// pixel, with arms `arm` pixels long on each side.
struct HotSpotCross {
  Point centre;
  int arm = 0;
  bool operator==(const HotSpotCross&) const = default;
};

// The cross over `spot` of a width x height picture shown at `zoom`; nullopt when the spot lies outside it.
std::optional<HotSpotCross> hotSpotCross(Point spot, int width, int height, int zoom);

}  // namespace delvix::preview
