#pragma once

#include <filesystem>

#include "browse/folder_listing.h"
#include "gfx/image.h"

// The pictures of the image browser's rows.
namespace delvix::browse {

// The image browser's fixed pictures, by their place in its image list.
enum class FixedPicture {
  folder = 0,
  parentFolder = 1,
  library = 2,
  programWithoutIcon = 3,
  otherWithoutIcon = 4,
  controlModule = 5,
};

// The fixed picture of a row: a folder's, the parent's, ".dll" the library, ".ocx" and ".cpl" the control
// module; for the files that show their own icon, the one shown when fileIcon gives none (".exe" the program
// without an icon, the others the other file).
FixedPicture fixedPictureOf(const FolderRow& row);

// Whether the image browser shows a file's own icon: ".ico", ".cur", ".ani", ".exe" and ".scr".
bool showsOwnIcon(const std::filesystem::path& file);

inline constexpr int fileIconSize = 16;

// A file's icon drawn as the preview draws it (through its alpha channel when it has one) and scaled to
// 16 x 16; canvas pixels are gfx::transparentKey. From an icon or cursor file its smallest image at least 16
// pixels wide (else its largest), PNG images included; from an animated cursor that image of its first
// frame; from a ".exe" or ".scr" module that image of its first icon group. Only the directory and the
// chosen image are read, within the readers' limits. Empty when there is none or it cannot be drawn.
gfx::Image fileIcon(const std::filesystem::path& file);

}  // namespace delvix::browse
