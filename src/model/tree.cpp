#include "model/tree.h"

namespace delvix::model {

Tree::Tree() = default;

Node& Tree::addTopLevel(std::string name, Node::Data data, int stateImage) {
  return root_.addChild(std::move(name), std::move(data), stateImage);
}

Node& Tree::insertTopLevel(std::size_t index, std::string name, Node::Data data, int stateImage) {
  return root_.insertChild(index, std::move(name), std::move(data), stateImage);
}

void Tree::remove(const Node& node) {
  if (Node* parent = node.parent()) parent->removeChild(node);
}

void Tree::clear() {
  root_.clearChildren();
  firstByName_ = {};
  indexed_ = false;
}

Node* Tree::first() const { return empty() ? nullptr : &root_.child(0); }

Node* Tree::next(const Node& node) const {
  if (node.childCount() > 0) return &node.child(0);
  const Node* current = &node;
  while (current != &root_) {
    Node* parent = current->parent();
    if (!parent) return nullptr;
    std::size_t index = current->indexInParent();
    if (index + 1 < parent->childCount()) return &parent->child(index + 1);
    current = parent;
  }
  return nullptr;
}

Node* Tree::previous(const Node& node) const {
  Node* parent = node.parent();
  if (!parent) return nullptr;
  std::size_t index = node.indexInParent();
  if (index == 0) return parent == &root_ ? nullptr : parent;
  Node* current = &parent->child(index - 1);
  while (current->childCount() > 0) current = &current->child(current->childCount() - 1);
  return current;
}

Node* Tree::last() const {
  if (empty()) return nullptr;
  Node* current = &root_.child(root_.childCount() - 1);
  while (current->childCount() > 0) current = &current->child(current->childCount() - 1);
  return current;
}

Node* Tree::findFirst(std::string_view name, const Node* from) const {
  if (!from) {
    const NameIndex& index = nameIndex();
    auto found = index.find(name);
    return found == index.end() ? nullptr : found->second;
  }
  for (Node* node = const_cast<Node*>(from); node; node = next(*node))
    if (node->name() == name) return node;
  return nullptr;
}

const Tree::NameIndex& Tree::nameIndex() const {
  if (indexed_ && indexedVersion_ == root_.structureVersion()) return firstByName_;
  firstByName_.clear();
  for (Node* node = first(); node; node = next(*node)) firstByName_.emplace(node->name(), node);
  indexedVersion_ = root_.structureVersion();
  indexed_ = true;
  return firstByName_;
}

void Tree::forEach(const std::function<void(const Node&, int depth)>& visit) const {
  std::function<void(const Node&, int)> walk = [&](const Node& node, int depth) {
    for (const auto& child : node.children()) {
      visit(*child, depth);
      walk(*child, depth + 1);
    }
  };
  walk(root_, 0);
}

std::size_t Tree::nodeCount() const {
  std::size_t count = 0;
  forEach([&](const Node&, int) { ++count; });
  return count;
}

std::size_t Tree::ownedDataCount() const {
  std::size_t count = 0;
  forEach([&](const Node& node, int) { count += node.ownsData() ? 1 : 0; });
  return count;
}

}  // namespace delvix::model
