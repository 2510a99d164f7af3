#pragma once

#include <string>
#include <vector>

#include "formats/reporter.h"
#include "model/document.h"

namespace delvix::testing {

// The children's names of a node, in order.
std::vector<std::string> childNames(const model::Node& node);
// The names of the top-level nodes, in order.
std::vector<std::string> topLevelNames(const model::Tree& tree);
// The node at a path of names from the top ("picture_1/bitm_info"), or null.
model::Node* nodeAt(const model::Tree& tree, const std::string& path);

}  // namespace delvix::testing
