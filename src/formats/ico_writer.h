#pragma once

#include <filesystem>

#include "formats/file_save.h"
#include "formats/reporter.h"
#include "model/document.h"

namespace delvix::formats {

enum class IconKind { icon, cursor };

// The icon kind that a target name asks for: ".cur" (any case) is a cursor, anything else an icon.
IconKind iconKindOfTarget(const std::filesystem::path& target);

// An open icon or cursor file written back as `kind`. Directory entries are copied except that
// planes and bit count are zeroed when the kind changes (they are a hot spot in a cursor), and
// the bytes in resource and image offsets always describe the images as written.
WrittenFile writeIconFile(const model::Document& document, IconKind kind);

// Writes the file and reports failures; returns true when the target holds the whole file.
bool saveIconFile(const model::Document& document, const std::filesystem::path& target, Reporter& reporter);

}  // namespace delvix::formats
