#pragma once

#include <cstddef>

namespace delvix::model {

class Node;

// Told of every change to the shape of a tree, before and after it, so that a view over the tree can
// follow it step by step. `parent` is the invisible root for top-level nodes.
class TreeObserver {
 public:
  virtual ~TreeObserver() = default;
  virtual void aboutToInsert(const Node& parent, std::size_t index) = 0;
  virtual void inserted() = 0;
  virtual void aboutToRemove(const Node& parent, std::size_t index) = 0;
  virtual void removed() = 0;
  virtual void renamed(const Node& node) = 0;
  // Every node below the root goes at once.
  virtual void aboutToClear() = 0;
  virtual void cleared() = 0;
};

}  // namespace delvix::model
