#include "model/node.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

namespace delvix::model {

namespace {
std::atomic<std::size_t> liveNodes{0};
const Block emptyBlock;
}  // namespace

Node::Node(std::string name, Data data, int stateImage)
    : name_(std::move(name)), data_(std::move(data)), stateImage_(stateImage) {
  ++liveNodes;
}

Node::Node(RootTag) : stateImage_(state::none), counted_(false) {}

Node::~Node() {
  if (counted_) --liveNodes;
}

std::size_t Node::liveCount() { return liveNodes.load(); }

const Block& Node::block() const {
  const Block* block = std::get_if<Block>(&data_);
  return block ? *block : emptyBlock;
}

Block& Node::block() {
  if (!hasBlock()) data_ = Block{};
  return std::get<Block>(data_);
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
  return **it;
}

void Node::removeChild(const Node& child) {
  const std::size_t index = child.index_;
  if (child.parent_ != this || index >= children_.size() || children_[index].get() != &child)
    throw std::invalid_argument("removeChild: not a child of this node");
  TreeObserver* observer = treeObserver();
  if (observer) observer->aboutToRemove(*this, index);
  children_.erase(children_.begin() + static_cast<std::ptrdiff_t>(index));
  renumberChildren(index);
  structureChanged();
  if (observer) observer->removed();
}

void Node::clearChildren() {
  TreeObserver* observer = treeObserver();
  if (observer) observer->aboutToClear();
  children_.clear();
  structureChanged();
  if (observer) observer->cleared();
}

void Node::renumberChildren(std::size_t first) {
  for (std::size_t i = first; i < children_.size(); ++i) children_[i]->index_ = i;
}

void Node::structureChanged() {
  Node* top = this;
  while (top->parent_) top = top->parent_;
  ++top->structureVersion_;
}

TreeObserver* Node::treeObserver() const {
  const Node* top = this;
  while (top->parent_) top = top->parent_;
  return top->observer_;
}

Node* Node::findChild(std::string_view name) const {
  for (const auto& c : children_)
    if (c->name() == name) return c.get();
  return nullptr;
}

}  // namespace delvix::model
