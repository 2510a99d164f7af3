#include "cli/node_path.h"

namespace delvix::cli {

// The node at a path of names from the top joined by '/', or null.
model::Node* nodeAtPath(const model::Tree& tree, const std::string& path) {
  model::Node* node = nullptr;
  std::size_t start = 0;
  // A path as completion offers a node with children ("picture_1/") names that node.
  const std::size_t size = path.size() > 1 && path.back() == '/' ? path.size() - 1 : path.size();
  while (start <= size) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos || end > size) end = size;
    const std::string_view name = std::string_view(path).substr(start, end - start);
    if (!node) {
      for (std::size_t i = 0; i < tree.topLevelCount() && !node; ++i)
        if (tree.topLevel(i).name() == name) node = &tree.topLevel(i);
    } else {
      node = node->findChild(name);
    }
    if (!node) return nullptr;
    start = end + 1;
  }
  return node;
}

std::string pathOf(const model::Tree& tree, const model::Node& node) {
  std::string path = node.name();
  for (const model::Node* at = &node; !tree.isTopLevel(*at) && at->parent(); at = at->parent())
    path = at->parent()->name() + "/" + path;
  return path;
}

}  // namespace delvix::cli
