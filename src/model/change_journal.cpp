#include "model/change_journal.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace delvix::model {

namespace {

std::size_t dataBytes(const Node::Data& data) {
  if (const Block* block = std::get_if<Block>(&data)) return block->capacity();
  if (const BoxedResourceName* name = std::get_if<BoxedResourceName>(&data))
    if (const std::string* text = std::get_if<std::string>(&**name)) return sizeof(ResourceName) + text->capacity();
  return 0;
}

}  // namespace

std::size_t subtreeBytes(const Node& node) {
  std::size_t bytes = sizeof(Node) + node.name().capacity();
  if (node.hasBlock()) bytes += node.block().capacity();
  if (const ResourceName* name = node.resourceName())
    if (const std::string* text = std::get_if<std::string>(name)) bytes += text->capacity();
  for (const auto& child : node.children()) bytes += subtreeBytes(*child);
  return bytes;
}

std::size_t pictureEntryBytes(const PictureEntry& entry) {
  return sizeof(PictureEntry) + entry.sizeText.capacity() + entry.bitCountText.capacity();
}

void ChangeJournal::record(Change change) {
  heldBytes_ += sizeof(Change);
  changes_.push_back(std::move(change));
}

void ChangeJournal::bytesChanging(Node& node, std::size_t offset, std::span<const std::uint8_t> old) {
  heldBytes_ += old.size();
  record({.kind = Change::Kind::bytes, .node = &node, .position = offset, .bytes = Block(old.begin(), old.end())});
}

void ChangeJournal::dataChanging(Node& node, Node::Data old) {
  heldBytes_ += dataBytes(old);
  record({.kind = Change::Kind::data, .node = &node, .data = std::move(old)});
}

void ChangeJournal::renaming(Node& node, std::string old) {
  heldBytes_ += old.capacity();
  record({.kind = Change::Kind::name, .node = &node, .text = std::move(old)});
}

void ChangeJournal::inserted(Node& parent, std::size_t index) {
  record({.kind = Change::Kind::child, .node = &parent, .position = index});
}

void ChangeJournal::removed(Node& parent, std::size_t index, std::unique_ptr<Node> child) {
  heldBytes_ += subtreeBytes(*child);
  record({.kind = Change::Kind::child, .node = &parent, .position = index, .child = std::move(child)});
}

void ChangeJournal::insertPicture(std::size_t index, PictureEntry entry) {
  if (!pictures_ || index > pictures_->size()) throw std::out_of_range("insertPicture: no such place");
  pictures_->insert(pictures_->begin() + static_cast<std::ptrdiff_t>(index), std::move(entry));
  picturesChanged_ = true;
  record({.kind = Change::Kind::pictureSlot, .position = index});
}

void ChangeJournal::erasePicture(std::size_t index) {
  if (!pictures_ || index >= pictures_->size()) throw std::out_of_range("erasePicture: no such picture");
  Change change{.kind = Change::Kind::pictureSlot, .position = index};
  apply(change);
  heldBytes_ += pictureEntryBytes(*change.picture);
  picturesChanged_ = true;
  record(std::move(change));
}

void ChangeJournal::replacePicture(std::size_t index, PictureEntry entry) {
  if (!pictures_ || index >= pictures_->size()) throw std::out_of_range("replacePicture: no such picture");
  Change change{.kind = Change::Kind::pictureEntry, .position = index, .picture = std::move(entry)};
  apply(change);
  heldBytes_ += pictureEntryBytes(*change.picture);
  picturesChanged_ = true;
  record(std::move(change));
}

void ChangeJournal::apply(Change& change) {
  switch (change.kind) {
    case Change::Kind::bytes: change.node->swapBytes(change.position, change.bytes); break;
    case Change::Kind::data: change.node->swapData(change.data); break;
    case Change::Kind::name: {
      std::string current = change.node->name();
      change.node->rename(std::move(change.text));
      change.text = std::move(current);
      break;
    }
    case Change::Kind::child:
      if (change.child)
        change.node->attachChild(change.position, std::move(change.child));
      else
        change.child = change.node->detachChild(change.position);
      break;
    case Change::Kind::pictureSlot: {
      auto at = pictures_->begin() + static_cast<std::ptrdiff_t>(change.position);
      if (change.picture) {
        pictures_->insert(at, std::move(*change.picture));
        change.picture.reset();
      } else {
        change.picture = std::move(*at);
        pictures_->erase(at);
      }
      break;
    }
    case Change::Kind::pictureEntry: std::swap((*pictures_)[change.position], *change.picture); break;
  }
}

void ChangeJournal::undo() {
  for (auto change = changes_.rbegin(); change != changes_.rend(); ++change) apply(*change);
}

void ChangeJournal::redo() {
  for (Change& change : changes_) apply(change);
}

}  // namespace delvix::model
