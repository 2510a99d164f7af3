#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "formats/reporter.h"

// Whole cursor themes between Windows (a folder of .cur and .ani files, usually with an install.inf) and the
// freedesktop layout (index.theme and cursors/ with the standard names and their aliases as links).
namespace delvix::theme {

enum class ThemeLayout { windows, freedesktop };

// What a folder holds: a freedesktop theme when it has cursors/ or index.theme, a Windows theme when it has
// .cur, .ani or .inf files; nullopt for neither.
std::optional<ThemeLayout> themeLayoutOf(const std::filesystem::path& folder);

struct ThemeRequest {
  std::filesystem::path input;
  std::filesystem::path output;
  // Write into an output folder that already holds files, replacing files (and links) of the same names.
  bool replace = false;
};

struct ConvertedCursor {
  std::string role;                  // "pointer", "busy", ...
  std::string source;                // the file read, relative to the input folder
  std::string written;               // the file written, relative to the output folder
  std::vector<std::string> aliases;  // links made to it, relative to the output folder
};

struct ThemeConversion {
  std::string name;                       // the theme's (or scheme's) name
  std::vector<ConvertedCursor> cursors;   // in the order of cursorRoles()
  std::vector<std::string> unmatched;     // cursor files of the input that no role takes
  std::vector<std::string> missingRoles;  // roles the input has no cursor for
  std::vector<std::string> failures;      // "FILE: reason" for cursors that were not written
  std::string refusal;                    // set when nothing was done: why
};

// Writes the freedesktop theme of a Windows cursor folder: the roles from its install.inf, or from the file
// names (cursorRoles()'s common names) without one, each cursor converted to an Xcursor file under its
// standard name with its aliases as relative links, and index.theme.
ThemeConversion freedesktopThemeOfWindowsFolder(const ThemeRequest& request, formats::Reporter& reporter);

// Writes the Windows cursor folder of a freedesktop theme: NAME.cur or NAME.ani for each role found under
// its standard name or an alias, and an install.inf that installs them as a scheme named as the theme.
ThemeConversion windowsFolderOfFreedesktopTheme(const ThemeRequest& request, formats::Reporter& reporter);

}  // namespace delvix::theme
