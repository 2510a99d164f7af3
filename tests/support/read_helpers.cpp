#include "support/read_helpers.h"

#include <sstream>

namespace delvix::testing {

std::vector<std::string> childNames(const model::Node& node) {
  std::vector<std::string> names;
  for (const auto& child : node.children()) names.push_back(child->name());
  return names;
}

std::vector<std::string> topLevelNames(const model::Tree& tree) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < tree.topLevelCount(); ++i) names.push_back(tree.topLevel(i).name());
  return names;
}

model::Node* nodeAt(const model::Tree& tree, const std::string& path) {
  std::stringstream parts(path);
  std::string part;
  model::Node* node = nullptr;
  while (std::getline(parts, part, '/')) {
    model::Node* found = nullptr;
    if (!node) {
      for (std::size_t i = 0; i < tree.topLevelCount() && !found; ++i)
        if (tree.topLevel(i).name() == part) found = &tree.topLevel(i);
    } else {
      found = node->findChild(part);
    }
    if (!found) return nullptr;
    node = found;
  }
  return node;
}

}  // namespace delvix::testing
