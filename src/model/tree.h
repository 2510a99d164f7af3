#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string_view>

#include "model/node.h"

namespace delvix::model {

// The structure tree of the open file. Top-level nodes are the children of an invisible root;
// "display order" is the order in which a fully expanded tree view lists the nodes.
// Every step of a walk costs O(depth) at most. Finding a node by name from the top uses an index built on
// the first lookup after the tree changed, so looking up every picture costs one walk and a lookup in a
// sorted index each.
// A tree is not safe to read from two threads at once.
class Tree {
 public:
  Tree();

  Node& addTopLevel(std::string name, Node::Data data = {}, int stateImage = state::none);
  Node& insertTopLevel(std::size_t index, std::string name, Node::Data data = {}, int stateImage = state::none);
  std::size_t topLevelCount() const { return root_.childCount(); }
  Node& topLevel(std::size_t index) const { return root_.child(index); }
  bool empty() const { return root_.childCount() == 0; }

  // Moves top-level node `index` with its subtree out of this tree (unrecorded: for a tree read to take from).
  std::unique_ptr<Node> takeTopLevel(std::size_t index) { return root_.detachChild(index); }
  // Puts a subtree taken from another tree in at `index`, recorded like any insertion.
  void adoptTopLevel(std::size_t index, std::unique_ptr<Node> node) { root_.adoptChild(index, std::move(node)); }
  // Removes a node with its subtree; everything they own is freed.
  void remove(const Node& node);
  void clear();

  Node* first() const;
  Node* next(const Node& node) const;
  Node* previous(const Node& node) const;
  Node* last() const;
  // The first node named `name` in display order, starting at `from` (inclusive) or at the top.
  Node* findFirst(std::string_view name, const Node* from = nullptr) const;

  // Calls `visit` for every node in display order.
  void forEach(const std::function<void(const Node&, int depth)>& visit) const;
  std::size_t nodeCount() const;
  // Nodes that own a block or a resource's name copy.
  std::size_t ownedDataCount() const;

  bool isTopLevel(const Node& node) const { return node.parent() == &root_; }
  bool isRoot(const Node& node) const { return &node == &root_; }

  // Tells `observer` of every insertion, removal, rename and clearing; null: nobody.
  void setObserver(TreeObserver* observer) { root_.setObserver(observer); }
  // Records every change into `journal` (an edit being made); null: nothing is recorded.
  void setJournal(ChangeJournal* journal) { root_.setJournal(journal); }
  ChangeJournal* journal() const { return root_.treeJournal(); }

 private:
  // The first node of each name in display order; keys view the nodes' own names.
  using NameIndex = std::map<std::string_view, Node*>;
  const NameIndex& nameIndex() const;

  TreeRoot root_;
  mutable NameIndex firstByName_;
  mutable std::uint64_t indexedVersion_ = 0;
  mutable bool indexed_ = false;
};

}  // namespace delvix::model
