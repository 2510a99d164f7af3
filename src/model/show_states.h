#pragma once

#include <vector>

#include "model/document.h"

namespace delvix::model {

// Gives every "color_table", "color_bitmap" and "mask_bitmap" node the state image of its show setting, all
// over the tree. The nodes of a picture whose "color_bitmap" holds no rows (a compressed bitmap, or one too
// large to keep) stay hidden as the reader left them. Returns the nodes whose state image changed.
std::vector<const Node*> applyShowStates(Tree& tree, const ShowSettings& show);

}  // namespace delvix::model
