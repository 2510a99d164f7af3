#include "model/node.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "model/change_journal.h"

namespace delvix::model {

namespace {
std::atomic<std::size_t> liveNodes{0};
const Block emptyBlock;
}  // namespace

Node::Node(std::string name, Data data, int stateImage)
    : name_(std::move(name)), data_(std::move(data)), stateImage_(static_cast<std::int16_t>(stateImage)) {
  ++liveNodes;
}

Node::Node(RootTag) : stateImage_(state::none), isRoot_(true) {}

Node::~Node() {
  if (!isRoot_) --liveNodes;
}

std::size_t Node::liveCount() { return liveNodes.load(); }

const Block& Node::block() const {
  const Block* block = std::get_if<Block>(&data_);
  return block ? *block : emptyBlock;
}

Block& Node::editBlock() {
  if (ChangeJournal* journal = treeJournal()) journal->dataChanging(*this, data_);
  if (!hasBlock()) data_ = Block{};
  return std::get<Block>(data_);
}

void Node::writeBytes(std::size_t offset, std::span<const std::uint8_t> bytes) {
  Block* block = std::get_if<Block>(&data_);
  if (!block || offset > block->size() || bytes.size() > block->size() - offset)
    throw std::out_of_range("writeBytes: past the end of the block");
  if (bytes.empty()) return;
  if (ChangeJournal* journal = treeJournal())
    journal->bytesChanging(*this, offset, std::span<const std::uint8_t>(*block).subspan(offset, bytes.size()));
  std::copy(bytes.begin(), bytes.end(), block->begin() + static_cast<std::ptrdiff_t>(offset));
}

void Node::swapBytes(std::size_t offset, std::span<std::uint8_t> other) {
  Block* block = std::get_if<Block>(&data_);
  if (!block || offset > block->size() || other.size() > block->size() - offset)
    throw std::out_of_range("swapBytes: past the end of the block");
  std::swap_ranges(other.begin(), other.end(), block->begin() + static_cast<std::ptrdiff_t>(offset));
}

void Node::setData(Data data) {
  if (ChangeJournal* journal = treeJournal()) journal->dataChanging(*this, std::move(data_));
  data_ = std::move(data);
}

bool Node::ownsData() const {
  if (hasBlock()) return true;
  const ResourceName* resource = resourceName();
  return resource && std::holds_alternative<std::string>(*resource);
}

Node& Node::addChild(std::string name, Data data, int stateImage) {
  return insertChild(children_.size(), std::move(name), std::move(data), stateImage);
}

void Node::rename(std::string name) {
  if (ChangeJournal* journal = treeJournal()) journal->renaming(*this, name_);
  name_ = std::move(name);
  structureChanged();
  if (TreeObserver* observer = treeObserver()) observer->renamed(*this);
}

Node& Node::insertChild(std::size_t index, std::string name, Data data, int stateImage) {
  auto node = std::make_unique<Node>(std::move(name), std::move(data), stateImage);
  node->parent_ = this;
  index = std::min(index, children_.size());
  TreeObserver* observer = treeObserver();
  if (observer) observer->aboutToInsert(*this, index);
  auto it = children_.insert(children_.begin() + static_cast<std::ptrdiff_t>(index), std::move(node));
  renumberChildren(index);
  structureChanged();
  if (observer) observer->inserted();
  if (ChangeJournal* journal = treeJournal()) journal->inserted(*this, index);
  return **it;
}

void Node::removeChild(const Node& child) {
  const std::size_t index = child.index_;
  if (child.parent_ != this || index >= children_.size() || children_[index].get() != &child)
    throw std::invalid_argument("removeChild: not a child of this node");
  std::unique_ptr<Node> gone = detachChild(index);
  if (ChangeJournal* journal = treeJournal()) journal->removed(*this, index, std::move(gone));
}

std::unique_ptr<Node> Node::detachChild(std::size_t index) {
  if (index >= children_.size()) throw std::out_of_range("detachChild: no such child");
  TreeObserver* observer = treeObserver();
  if (observer) observer->aboutToRemove(*this, index);
  std::unique_ptr<Node> child = std::move(children_[index]);
  children_.erase(children_.begin() + static_cast<std::ptrdiff_t>(index));
  child->parent_ = nullptr;
  renumberChildren(index);
  structureChanged();
  if (observer) observer->removed();
  return child;
}

void Node::attachChild(std::size_t index, std::unique_ptr<Node> child) {
  index = std::min(index, children_.size());
  TreeObserver* observer = treeObserver();
  if (observer) observer->aboutToInsert(*this, index);
  child->parent_ = this;
  children_.insert(children_.begin() + static_cast<std::ptrdiff_t>(index), std::move(child));
  renumberChildren(index);
  structureChanged();
  if (observer) observer->inserted();
}

void Node::adoptChild(std::size_t index, std::unique_ptr<Node> child) {
  index = std::min(index, children_.size());
  attachChild(index, std::move(child));
  if (ChangeJournal* journal = treeJournal()) journal->inserted(*this, index);
}

void Node::clearChildren() {
  if (treeJournal()) {
    // Each child goes into the journal, the last first, so that undoing puts them back in order.
    while (!children_.empty()) removeChild(*children_.back());
    return;
  }
  TreeObserver* observer = treeObserver();
  if (observer) observer->aboutToClear();
  children_.clear();
  structureChanged();
  if (observer) observer->cleared();
}

void Node::renumberChildren(std::size_t first) {
  for (std::size_t i = first; i < children_.size(); ++i) children_[i]->index_ = static_cast<std::uint32_t>(i);
}

// Only a TreeRoot is made with isRoot_ set, so the top node is one when the flag says so.
const TreeRoot* Node::treeRoot() const {
  const Node* top = this;
  while (top->parent_) top = top->parent_;
  return top->isRoot_ ? static_cast<const TreeRoot*>(top) : nullptr;
}

TreeRoot* Node::treeRoot() {
  Node* top = this;
  while (top->parent_) top = top->parent_;
  return top->isRoot_ ? static_cast<TreeRoot*>(top) : nullptr;
}

void Node::structureChanged() {
  if (TreeRoot* root = treeRoot()) ++root->structureVersion_;
}

TreeObserver* Node::treeObserver() const {
  const TreeRoot* root = treeRoot();
  return root ? root->observer_ : nullptr;
}

ChangeJournal* Node::treeJournal() const {
  const TreeRoot* root = treeRoot();
  return root ? root->journal_ : nullptr;
}

Node* Node::findChild(std::string_view name) const {
  for (const auto& c : children_)
    if (c->name() == name) return c.get();
  return nullptr;
}

}  // namespace delvix::model
