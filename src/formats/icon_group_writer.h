#pragma once

#include <filesystem>

#include "formats/file_save.h"
#include "formats/ico_writer.h"
#include "formats/reporter.h"
#include "model/document.h"

namespace delvix::formats {

// The 16-byte file entry (size and offset left 0) for a module group's 14-byte entry of `picture`.
model::Block moduleFileEntry(const model::Block& groupEntry, const model::Node& picture, bool cursorGroup,
                             IconKind kind);

// The resource node (top level) of the module group that holds `node`, or null.
const model::Node* groupOf(const model::Tree& tree, const model::Node& node);

// One icon or cursor group of an open module as an icon or cursor file. Entries of a cursor group
// take their size from the image's bitmap header and, in a cursor file, their hot spot from the
// picture's "hot_pot"; sizes and offsets describe the images as written.
WrittenFile writeIconGroup(const model::Node& group, IconKind kind);

// Writes the group that holds `selected`; does nothing without a selection.
bool saveIconGroup(const model::Document& document, const model::Node* selected, const std::filesystem::path& target,
                   Reporter& reporter);

}  // namespace delvix::formats
