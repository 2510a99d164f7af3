#include "desktop/screen_fit.h"

#include <algorithm>
#include <cstdint>

namespace delvix::desktop {

namespace {

// In 64 bits: a stored placement may name any coordinates, and their sums must not wrap.
struct Span {
  std::int64_t from;
  std::int64_t to;  // one past the end
};

Span across(const Rect& r) { return {r.x, std::int64_t{r.x} + std::max(r.width, 0)}; }
Span down(const Rect& r) { return {r.y, std::int64_t{r.y} + std::max(r.height, 0)}; }

std::int64_t overlap(Span a, Span b) {
  return std::max<std::int64_t>(0, std::min(a.to, b.to) - std::max(a.from, b.from));
}
std::int64_t gap(Span a, Span b) { return std::max<std::int64_t>({0, b.from - a.to, a.from - b.to}); }

// The start that puts a length within the span, or at its start when it is longer.
int placed(std::int64_t start, int length, Span room) {
  return static_cast<int>(std::max(room.from, std::min(start, room.to - length)));
}

}  // namespace

Rect fitToScreens(const Rect& frame, std::span<const Rect> screens) {
  if (screens.empty()) return frame;
  const Rect* best = &screens.front();
  std::int64_t bestOverlap = -1;
  std::int64_t bestGap = 0;
  for (const Rect& screen : screens) {
    const std::int64_t shared = overlap(across(frame), across(screen)) * overlap(down(frame), down(screen));
    const std::int64_t distance = gap(across(frame), across(screen)) + gap(down(frame), down(screen));
    const bool better =
        bestOverlap < 0 || shared > bestOverlap || (shared == 0 && bestOverlap == 0 && distance < bestGap);
    if (better) {
      best = &screen;
      bestOverlap = shared;
      bestGap = distance;
    }
  }
  Rect fitted = frame;
  fitted.width = std::clamp(frame.width, 0, std::max(best->width, 0));
  fitted.height = std::clamp(frame.height, 0, std::max(best->height, 0));
  fitted.x = placed(frame.x, fitted.width, across(*best));
  fitted.y = placed(frame.y, fitted.height, down(*best));
  return fitted;
}

}  // namespace delvix::desktop
