#pragma once

#include <cstddef>

#include "model/document.h"

namespace delvix::model {

// Changes to the document's picture list, recorded in the tree's change journal while an edit is recorded.
void insertPicture(Document& document, std::size_t index, PictureEntry entry);
void erasePicture(Document& document, std::size_t index);
void replacePicture(Document& document, std::size_t index, PictureEntry entry);

}  // namespace delvix::model
