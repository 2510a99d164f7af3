#pragma once

#include "model/document.h"

namespace delvix::edit {

// After a picture of an icon or cursor file was added or removed: the header's count and each directory
// entry's size and offset become what the next save writes.
void refreshIconDirectory(model::Document& document);

}  // namespace delvix::edit
