#pragma once

#include <array>
#include <string>
#include <string_view>

#include "browse/file_summary.h"

// The texts of a file row's columns, the same in the windows and in `delvix-cli browse`.
namespace delvix::browse {

// The wave browser's time of a file whose playing time cannot be worked out.
inline constexpr std::string_view unknownTime = " ? ";

// The image browser's "icons", "cursors" and "bitmaps": an icon file's image count under icons, a cursor
// file's or an animated cursor's under cursors, a module's three counts; the others stay empty, as do all
// three for what is not a regular file.
std::array<std::string, 3> imageColumns(const FileSummary& summary);

// The wave browser's "Size (bytes)", "Time (sec)" (3 significant digits, or " ? "), "Form.", "Chan.",
// "Samp. (bits)" and "Samp. (sec)". The format columns are empty when no "fmt " chunk was read; every column
// is empty for what is not a regular file.
std::array<std::string, 6> waveColumns(const FileSummary& summary);

}  // namespace delvix::browse
