#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "theme/cursor_facts.h"

// The faults users of cursor themes complain of, found in a theme folder.
namespace delvix::theme {

enum class Severity {
  fault,    // a cursor that shows or moves wrongly
  warning,  // something missing, that the desktop makes up for with another theme's cursor or another size
};

struct Finding {
  Severity severity = Severity::fault;
  std::string cursor;  // the cursor's file name, a standard name that is missing, or empty for the whole theme
  std::string what;    // what is wrong, in words that stay the same from run to run
  std::string where;   // "size 24, frame 3", or empty

  bool operator==(const Finding&) const = default;
};

enum class ThemeLayout {
  freedesktop,  // cursors/ with Xcursor files, and an index.theme
  windows,      // .cur and .ani files, maybe with an install.inf
};

struct ThemeLint {
  ThemeLayout layout = ThemeLayout::freedesktop;
  std::string name;  // from index.theme, or the folder's name
  std::size_t cursors = 0;
  std::vector<Finding> findings;

  std::size_t count(Severity severity) const;
};

struct ThemeLintOutcome {
  std::optional<ThemeLint> lint;
  std::string refusal;  // why the folder could not be checked: it is no cursor theme, or cannot be read
};

// Checks the theme in `folder`: a freedesktop theme (its cursors/ folder, or that folder itself) or a folder
// of Windows cursors.
ThemeLintOutcome lintThemeFolder(const std::filesystem::path& folder);

// The checks over cursors already read: hot spots that move between frames, sizes or from the pointer to
// the working and busy cursors, hot spots outside the picture, frames of different sizes, delays of 0,
// standard cursors and common sizes that are missing. Findings come theme-wide first, then by cursor.
std::vector<Finding> checkCursors(std::span<const CursorFacts> cursors, ThemeLayout layout);

std::string_view severityName(Severity severity);  // "fault" or "warning"
std::string_view layoutName(ThemeLayout layout);   // "freedesktop" or "windows"

}  // namespace delvix::theme
