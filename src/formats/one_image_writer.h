#pragma once

#include <filesystem>

#include "formats/file_save.h"
#include "formats/ico_writer.h"
#include "formats/reporter.h"
#include "model/document.h"

namespace delvix::formats {

// One picture of the open file (an icon or cursor file, an animated cursor's frame or a module's icon
// or cursor image) as a one-image icon or cursor file. The directory entry comes from the picture's
// own entry; hot spots are kept only from cursor to cursor. Incomplete when the picture cannot be found
// or lacks a part.
WrittenFile writeOneImage(const model::Document& document, const model::Node& picture, IconKind kind);

bool saveOneImage(const model::Document& document, const model::Node& picture, const std::filesystem::path& target,
                  Reporter& reporter);

// The picture node "picture_" (index + 1), wherever it sits in the tree; null when there is none.
const model::Node* findPicture(const model::Document& document, int index);

}  // namespace delvix::formats
