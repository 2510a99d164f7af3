#pragma once

#include <filesystem>

#include "formats/file_save.h"
#include "formats/reporter.h"
#include "model/document.h"

namespace delvix::formats {

enum class IconKind { icon, cursor };

// The icon kind that a target name asks for: ".cur" (any case) is a cursor, anything else an icon.
IconKind iconKindOfTarget(const std::filesystem::path& target);

// The kind of an open icon or cursor file, as its header's type says (ImageMagick writes icons named
// ".cur"): 2 is a cursor, anything else an icon.
IconKind headerKind(const model::Document& document);

// The kind a save writes: the source's own kind when the target has the source's extension (any case)
// or neither ".ico" nor ".cur"; otherwise the kind the target's extension names.
IconKind savedKind(IconKind source, const std::filesystem::path& sourcePath, const std::filesystem::path& target);

// A directory entry of `picture` turned from one kind into the other: from icon to cursor the hot spot
// becomes 0, 0; from cursor to icon the planes become 1 and the bit count the image's own. Unchanged
// when the kinds agree.
void convertDirectoryEntry(model::Block& entry, IconKind from, IconKind to, const model::Node& picture);

// An open icon or cursor file written back as `kind`. Directory entries are copied, converted when
// the kind changes, and the bytes in resource and image offsets always describe the images as written.
WrittenFile writeIconFile(const model::Document& document, IconKind kind);

// Writes the file as savedKind() says and reports failures; returns true when the target holds the whole file.
bool saveIconFile(const model::Document& document, const std::filesystem::path& target, Reporter& reporter);

}  // namespace delvix::formats
