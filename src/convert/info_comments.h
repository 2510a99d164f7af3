#pragma once

#include <vector>

#include "formats/xcursor/xcursor_file.h"
#include "model/document.h"

namespace delvix::convert {

// The INFO items of an animated cursor as Xcursor comments: the copyright item a copyright comment, the
// comments item a comment as it is, every other item a comment "description: text" ("name: Busy").
std::vector<formats::xcursor::CommentChunk> commentsOfInfo(const model::Document& document);

}  // namespace delvix::convert
