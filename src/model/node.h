#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "model/tree_observer.h"

namespace delvix::model {

class ChangeJournal;

// The bytes of one part of the file, in the fixed layout that the node's name implies.
using Block = std::vector<std::uint8_t>;

// A module resource is named either by a string or by an integer id.
using ResourceName = std::variant<std::string, std::uint32_t>;

// A resource name kept on the heap: few nodes have one, and inline it would make every node larger.
class BoxedResourceName {
 public:
  BoxedResourceName(ResourceName name) : name_(std::make_unique<ResourceName>(std::move(name))) {}
  BoxedResourceName(const BoxedResourceName& other) : BoxedResourceName(*other) {}
  BoxedResourceName& operator=(const BoxedResourceName& other) {
    *name_ = *other;
    return *this;
  }
  BoxedResourceName(BoxedResourceName&&) noexcept = default;
  BoxedResourceName& operator=(BoxedResourceName&&) noexcept = default;
  ~BoxedResourceName() = default;

  const ResourceName& operator*() const { return *name_; }

 private:
  std::unique_ptr<ResourceName> name_;
};

// State image indexes shown beside the nodes of the structure tree.
namespace state {
inline constexpr int none = -1;
inline constexpr int listChunk = 1;
inline constexpr int formatHeader = 2;
inline constexpr int rate = 3;
inline constexpr int sequence = 4;
inline constexpr int frameList = 5;
inline constexpr int picture = 6;
inline constexpr int valuesHidden = 7;
inline constexpr int valuesShown = 8;
inline constexpr int infoItem = 10;
inline constexpr int waveData = 11;
}  // namespace state

class TreeRoot;

// A node of the structure tree. Nodes are many (several per picture), so a node holds only what every node
// needs; what a whole tree shares lives in its TreeRoot.
class Node {
 public:
  using Data = std::variant<std::monostate, Block, BoxedResourceName>;

  explicit Node(std::string name, Data data = {}, int stateImage = state::none);
  ~Node();
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  const std::string& name() const { return name_; }
  void rename(std::string name);

  int stateImage() const { return stateImage_; }
  void setStateImage(int index) { stateImage_ = static_cast<std::int16_t>(index); }

  bool hasBlock() const { return std::holds_alternative<Block>(data_); }
  // The node's block; empty when the node owns none.
  const Block& block() const;
  // The block to change in place (made when the node has none). The whole block is kept for undoing first,
  // so blocks that may be large are changed with writeBytes instead.
  Block& editBlock();
  // Overwrites bytes of the block from `offset` on; throws std::out_of_range when they do not fit.
  void writeBytes(std::size_t offset, std::span<const std::uint8_t> bytes);
  void setBlock(Block block) { setData(std::move(block)); }

  const ResourceName* resourceName() const {
    const BoxedResourceName* boxed = std::get_if<BoxedResourceName>(&data_);
    return boxed ? &**boxed : nullptr;
  }
  void setResourceName(ResourceName name) { setData(std::move(name)); }

  // Drops whatever the node owns (the deletion rule).
  void releaseData() { setData(std::monostate{}); }
  // Swaps `other` with the block's bytes from `offset` on, without recording it; throws when they do not fit.
  void swapBytes(std::size_t offset, std::span<std::uint8_t> other);
  // Swaps what the node owns with `data` without recording it (undo and redo do their own recording).
  void swapData(Data& data) { data_.swap(data); }
  // True when the node owns a block or a copy of a resource's string name.
  bool ownsData() const;

  Node* parent() const { return parent_; }
  std::size_t childCount() const { return children_.size(); }
  Node& child(std::size_t index) const { return *children_.at(index); }
  const std::vector<std::unique_ptr<Node>>& children() const { return children_; }

  Node& addChild(std::string name, Data data = {}, int stateImage = state::none);
  Node& insertChild(std::size_t index, std::string name, Data data = {}, int stateImage = state::none);
  // Removes a child with its whole subtree, freeing everything they own (or keeping them in the tree's change
  // journal while an edit is recorded).
  void removeChild(const Node& child);
  void clearChildren();
  // Takes a child out of the tree and puts one back, as undo and redo do: the views are told, nothing is
  // recorded.
  std::unique_ptr<Node> detachChild(std::size_t index);
  void attachChild(std::size_t index, std::unique_ptr<Node> child);
  // Puts a subtree made elsewhere (read into another tree) in as a child at `index`, recorded like an insertion.
  void adoptChild(std::size_t index, std::unique_ptr<Node> child);
  // Position among the parent's children; kept up to date by every insertion and removal.
  std::size_t indexInParent() const { return index_; }
  // First child with the given name, or null.
  Node* findChild(std::string_view name) const;

  // The journal of the tree this node belongs to, or null (none, or the node is out of any tree).
  ChangeJournal* treeJournal() const;

  // Number of Node objects alive in the process; lets tests prove that removing nodes frees them.
  static std::size_t liveCount();

 protected:
  // The invisible root of a tree, which is not counted among the live nodes.
  struct RootTag {};
  explicit Node(RootTag);

 private:
  void setData(Data data);
  // The root of the tree this node is in, or null when the node is out of any tree.
  const TreeRoot* treeRoot() const;
  TreeRoot* treeRoot();
  // Bumps the version of the topmost ancestor.
  void structureChanged();
  // The observer of the tree this node belongs to, or null.
  TreeObserver* treeObserver() const;
  // Gives the children from `first` on their positions again.
  void renumberChildren(std::size_t first);

  std::string name_;
  Data data_;
  Node* parent_ = nullptr;
  std::vector<std::unique_ptr<Node>> children_;
  // 32 bits are enough: a node takes more than 16 bytes, so no process holds 2^32 of them.
  std::uint32_t index_ = 0;
  std::int16_t stateImage_;
  bool isRoot_ = false;
};

// The invisible root of a tree: what the whole tree shares, kept once rather than in every node.
class TreeRoot final : public Node {
 public:
  TreeRoot() : Node(RootTag{}) {}

  // Counts the insertions, removals and renames made anywhere in the tree; lets a tree tell whether what it
  // has indexed is still current.
  std::uint64_t structureVersion() const { return structureVersion_; }
  // Tells `observer` of every change in the tree; null: nobody.
  void setObserver(TreeObserver* observer) { observer_ = observer; }
  // Records every change in the tree into `journal`; null: nothing.
  void setJournal(ChangeJournal* journal) { journal_ = journal; }

 private:
  friend class Node;
  std::uint64_t structureVersion_ = 0;
  TreeObserver* observer_ = nullptr;
  ChangeJournal* journal_ = nullptr;
};

}  // namespace delvix::model
