#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "theme/theme_lint.h"

namespace delvix::theme {

namespace {

std::string pointText(int x, int y) { return std::to_string(x) + ',' + std::to_string(y); }

std::string sizeText(const SizeFacts& size) { return "size " + std::to_string(size.size); }

std::string pictureSizeText(const FrameFacts& frame) {
  return std::to_string(frame.width) + 'x' + std::to_string(frame.height);
}

bool hasHotSpot(const FrameFacts& frame) { return frame.xHot && frame.yHot; }

// Whether `a` and `b` are the same point of the picture once scaled to the smaller picture: the pixel that
// the centre of the larger one's hot-spot pixel falls in, within one pixel; exactly at the same size.
bool sameSpot(const FrameFacts& a, const FrameFacts& b) {
  if (a.width == b.width && a.height == b.height) return *a.xHot == *b.xHot && *a.yHot == *b.yHot;
  if (a.width <= 0 || a.height <= 0 || b.width <= 0 || b.height <= 0) return true;
  const bool aSmaller = a.width < b.width;
  const FrameFacts& small = aSmaller ? a : b;
  const FrameFacts& large = aSmaller ? b : a;
  auto scaled = [](int spot, int from, int to) { return static_cast<long long>(std::floor((spot + 0.5) * to / from)); };
  return std::llabs(*small.xHot - scaled(*large.xHot, large.width, small.width)) <= 1 &&
         std::llabs(*small.yHot - scaled(*large.yHot, large.height, small.height)) <= 1;
}

bool inside(const FrameFacts& frame) {
  return *frame.xHot >= 0 && *frame.yHot >= 0 && *frame.xHot < frame.width && *frame.yHot < frame.height;
}

// The frame a size is compared by; none when it has no hot spot or one outside it (reported on its own).
const FrameFacts* firstFrame(const SizeFacts& size) {
  if (size.frames.empty()) return nullptr;
  const FrameFacts& first = size.frames.front();
  return hasHotSpot(first) && inside(first) ? &first : nullptr;
}

class Checker {
 public:
  Checker(const CursorFacts& cursor, std::vector<Finding>& findings) : cursor_(cursor), findings_(findings) {}

  void add(Severity severity, std::string what, std::string where = {}) {
    findings_.push_back({severity, cursor_.name, std::move(what), std::move(where)});
  }

  void checkFrames(const SizeFacts& size) {
    if (size.frames.empty()) return;
    const FrameFacts& first = size.frames.front();
    for (std::size_t i = 0; i < size.frames.size(); ++i)
      if (!hasHotSpot(size.frames[i])) {
        add(Severity::fault, "frame " + std::to_string(i + 1) + " has no hot spot (it is an icon)", sizeText(size));
        return;
      }
    for (std::size_t i = 0; i < size.frames.size(); ++i) {
      const FrameFacts& frame = size.frames[i];
      if (inside(frame)) continue;
      add(Severity::fault,
          "hot spot " + pointText(*frame.xHot, *frame.yHot) + " lies outside the " + pictureSizeText(frame) +
              " picture",
          sizeText(size) + ", frame " + std::to_string(i + 1));
      break;
    }
    std::size_t otherSizes = 0;
    std::size_t firstOtherSize = 0;
    std::size_t moved = 0;
    std::size_t firstMoved = 0;
    for (std::size_t i = 1; i < size.frames.size(); ++i) {
      const FrameFacts& frame = size.frames[i];
      if (frame.width != first.width || frame.height != first.height) {
        if (otherSizes++ == 0) firstOtherSize = i;
      } else if (*frame.xHot != *first.xHot || *frame.yHot != *first.yHot) {
        if (moved++ == 0) firstMoved = i;
      }
    }
    if (otherSizes > 0)
      add(Severity::fault,
          std::to_string(otherSizes) + " of " + std::to_string(size.frames.size()) + " frames differ in size: frame " +
              std::to_string(firstOtherSize + 1) + " is " + pictureSizeText(size.frames[firstOtherSize]) +
              ", frame 1 " + pictureSizeText(first),
          sizeText(size));
    if (moved > 0) {
      const FrameFacts& frame = size.frames[firstMoved];
      add(Severity::fault,
          "hot spot moves in " + std::to_string(moved) + " of " + std::to_string(size.frames.size()) +
              " frames: frame 1 has " + pointText(*first.xHot, *first.yHot) + ", frame " +
              std::to_string(firstMoved + 1) + " " + pointText(*frame.xHot, *frame.yHot),
          sizeText(size));
    }
  }

  void checkDelays(const SizeFacts& size) {
    if (size.delays.size() < 2) return;
    const auto zero = std::find(size.delays.begin(), size.delays.end(), 0u);
    if (zero == size.delays.end()) return;
    const std::string unit = size.delaysPerStep ? "step" : "frame";
    const auto count = std::count(size.delays.begin(), size.delays.end(), 0u);
    add(Severity::fault,
        std::to_string(count) + " of " + std::to_string(size.delays.size()) + ' ' + unit + "s have a delay of 0",
        sizeText(size) + ", " + unit + ' ' + std::to_string(zero - size.delays.begin() + 1));
  }

  // Each size against the largest one, scaled.
  void checkSizes() {
    const SizeFacts* largest = nullptr;
    for (const SizeFacts& size : cursor_.sizes)
      if (firstFrame(size) && (!largest || firstFrame(size)->width > firstFrame(*largest)->width)) largest = &size;
    if (!largest) return;
    const FrameFacts& reference = *firstFrame(*largest);
    for (const SizeFacts& size : cursor_.sizes) {
      const FrameFacts* frame = firstFrame(size);
      if (&size == largest || !frame || sameSpot(*frame, reference)) continue;
      add(Severity::fault,
          "hot spot " + pointText(*frame->xHot, *frame->yHot) + " does not match " +
              pointText(*reference.xHot, *reference.yHot) + " of " + sizeText(*largest) + " scaled",
          sizeText(size));
    }
  }

  // The cursor's hot spot against `pointer`'s, each size against the pointer's size nearest to it.
  void checkAgainst(const CursorFacts& pointer, Severity severity) {
    for (const SizeFacts& size : cursor_.sizes) {
      const FrameFacts* frame = firstFrame(size);
      if (!frame) continue;
      const FrameFacts* nearest = nullptr;
      for (const SizeFacts& other : pointer.sizes)
        if (const FrameFacts* candidate = firstFrame(other))
          if (!nearest || std::abs(candidate->width - frame->width) < std::abs(nearest->width - frame->width))
            nearest = candidate;
      if (!nearest || sameSpot(*frame, *nearest)) continue;
      add(severity,
          "hot spot " + pointText(*frame->xHot, *frame->yHot) + " differs from the pointer's " +
              pointText(*nearest->xHot, *nearest->yHot) + " (" + pointer.name + ", " + pictureSizeText(*nearest) + ')',
          sizeText(size));
      return;
    }
  }

 private:
  const CursorFacts& cursor_;
  std::vector<Finding>& findings_;
};

bool hasRole(const CursorFacts& cursor, std::string_view role) {
  return std::any_of(cursor.roles.begin(), cursor.roles.end(),
                     [&](const CursorRole* each) { return each && each->role == role; });
}

const CursorFacts* cursorOfRole(std::span<const CursorFacts> cursors, std::string_view role) {
  for (const CursorFacts& cursor : cursors)
    if (hasRole(cursor, role)) return &cursor;
  return nullptr;
}

void checkMissingRoles(std::span<const CursorFacts> cursors, ThemeLayout layout, std::vector<Finding>& findings) {
  for (const CursorRole& role : cursorRoles()) {
    const std::string_view name = layout == ThemeLayout::freedesktop ? role.xcursorName : role.schemeName;
    if (name.empty() || cursorOfRole(cursors, role.role)) continue;
    findings.push_back(
        {Severity::warning, std::string(name), "missing: no cursor for the role " + std::string(role.role), {}});
  }
}

// A size that more than half of the cursors have, missing from a cursor.
void checkMissingSizes(std::span<const CursorFacts> cursors, std::vector<Finding>& findings) {
  std::map<int, std::size_t> holders;
  std::size_t counted = 0;
  for (const CursorFacts& cursor : cursors) {
    if (!cursor.everySize) continue;
    ++counted;
    std::vector<int> sizes;
    for (const SizeFacts& size : cursor.sizes) sizes.push_back(size.size);
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    for (int size : sizes) ++holders[size];
  }
  for (const CursorFacts& cursor : cursors) {
    if (cursor.sizes.empty() || !cursor.everySize) continue;
    for (const auto& [size, count] : holders) {
      if (count * 2 <= counted || count == counted) continue;
      const bool has = std::any_of(cursor.sizes.begin(), cursor.sizes.end(),
                                   [size = size](const SizeFacts& each) { return each.size == size; });
      if (!has)
        findings.push_back({Severity::warning,
                            cursor.name,
                            "no size " + std::to_string(size) + ", which " + std::to_string(count) + " of " +
                                std::to_string(counted) + " cursors have",
                            {}});
    }
  }
}

}  // namespace

std::vector<Finding> checkCursors(std::span<const CursorFacts> cursors, ThemeLayout layout) {
  std::vector<Finding> findings;
  checkMissingRoles(cursors, layout, findings);
  const auto firstOfCursors = static_cast<std::ptrdiff_t>(findings.size());
  const CursorFacts* pointer = cursorOfRole(cursors, "pointer");
  for (const CursorFacts& cursor : cursors) {
    Checker checker(cursor, findings);
    for (const SizeFacts& size : cursor.sizes) {
      checker.checkFrames(size);
      checker.checkDelays(size);
    }
    checker.checkSizes();
    if (pointer && &cursor != pointer) {
      // The working cursor keeps the pointer's arrow; the busy one is often a spinner centred on purpose.
      if (hasRole(cursor, "working"))
        checker.checkAgainst(*pointer, Severity::fault);
      else if (hasRole(cursor, "busy"))
        checker.checkAgainst(*pointer, Severity::warning);
    }
    if (layout == ThemeLayout::windows && cursor.roles.empty())
      findings.push_back({Severity::warning, cursor.name, "no cursor role takes it", {}});
  }
  checkMissingSizes(cursors, findings);
  std::stable_sort(findings.begin() + firstOfCursors, findings.end(),
                   [](const Finding& a, const Finding& b) { return a.cursor < b.cursor; });
  return findings;
}

std::string_view severityName(Severity severity) { return severity == Severity::fault ? "fault" : "warning"; }

std::string_view layoutName(ThemeLayout layout) {
  return layout == ThemeLayout::freedesktop ? "freedesktop" : "windows";
}

std::size_t ThemeLint::count(Severity severity) const {
  return static_cast<std::size_t>(
      std::count_if(findings.begin(), findings.end(), [&](const Finding& f) { return f.severity == severity; }));
}

}  // namespace delvix::theme
