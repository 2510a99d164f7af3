#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "theme/cursor_roles.h"

// What a theme check needs to know of each cursor of a theme, whichever format its files are in.
namespace delvix::theme {

struct FrameFacts {
  int width = 0;
  int height = 0;
  std::optional<int> xHot;  // none for a picture that has no hot spot (an icon)
  std::optional<int> yHot;
};

// The pictures of one size: an Xcursor file's images of one nominal size, or a Windows cursor's pictures of
// one width (the frames of an animated cursor).
struct SizeFacts {
  int size = 0;
  std::vector<FrameFacts> frames;
  // How long each frame (Xcursor, in ms) or each step (animated cursor, in jiffies) is shown; empty for a
  // cursor that does not move.
  std::vector<std::uint32_t> delays;
  bool delaysPerStep = false;
};

struct CursorFacts {
  std::string name;                      // the file's name, as the theme holds it
  std::vector<std::string> aliases;      // other names in the folder that link to it
  std::vector<const CursorRole*> roles;  // the roles its names give it
  std::vector<SizeFacts> sizes;          // in the order the file holds them
  // False where only the first picture of each frame is known (an animated cursor's frames may hold
  // more sizes): such a cursor is left out when sizes that cursors lack are looked for.
  bool everySize = true;
};

}  // namespace delvix::theme
