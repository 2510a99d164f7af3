#pragma once

#include <filesystem>

namespace delvix::desktop {

// The file the build puts beside the program in the build folder and which installing leaves behind.
inline constexpr const char* buildTreeMarker = "delvix-build-tree";

// True when the program runs from the build folder it was made in (the marker is beside it), not from an installed
// copy.
bool runsFromBuildTree(const std::filesystem::path& programFolder);

// The program's folder for what it keeps between runs that is not a setting: "delvix" in $XDG_STATE_HOME, or in
// ~/.local/state when that is unset or not an absolute path (the XDG base directory rules). Empty when neither
// is known.
std::filesystem::path userStateFolder(const char* xdgStateHome, const char* home);

}  // namespace delvix::desktop
