#pragma once

#include <string>

#include "model/tree.h"

namespace delvix::cli {

// The node at a path of names from the top joined by '/' ("picture_1/bitm_info"), or null.
model::Node* nodeAtPath(const model::Tree& tree, const std::string& path);
// The path of names that leads to `node`.
std::string pathOf(const model::Tree& tree, const model::Node& node);

}  // namespace delvix::cli
