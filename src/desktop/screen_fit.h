#pragma once

#include <span>

namespace delvix::desktop {

// A rectangle on the desktop, in pixels: its top-left corner and its size.
struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};

// Where a window's frame goes so that all of it can be seen: on the screen (of `screens`, their available areas,
// the primary one first) that it overlaps most, or the nearest one when it overlaps none. A frame larger than that
// screen is shrunk to it; then it is moved just far enough to lie wholly on it. Without screens it stays as it is.
Rect fitToScreens(const Rect& frame, std::span<const Rect> screens);

}  // namespace delvix::desktop
