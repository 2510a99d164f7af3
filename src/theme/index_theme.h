#pragma once

#include <string>
#include <string_view>

// The index.theme of a freedesktop cursor theme.
namespace delvix::theme {

struct ThemeIndex {
  std::string name;
  std::string comment;
  std::string inherits;  // comma-separated theme names, as written
};

// The unlocalised Name, Comment and Inherits of the [Icon Theme] group; empty where missing.
ThemeIndex readThemeIndex(std::string_view text);

// An [Icon Theme] group with the keys that are not empty; line breaks and control characters in values
// become spaces.
std::string writeThemeIndex(const ThemeIndex& index);

}  // namespace delvix::theme
