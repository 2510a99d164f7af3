#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/node.h"
#include "model/picture_entry.h"

namespace delvix::model {

// What one edit changed in a tree and a picture list, recorded change by change as it happens, each with the
// value it replaced (never a copy of what stayed). Every recorded change swaps the value it holds with the live
// one, so the same record undoes when played backwards and redoes when played forwards again.
// Nodes a change refers to stay alive: a removed node moves into the record instead of being freed.
class ChangeJournal {
 public:
  explicit ChangeJournal(std::vector<PictureEntry>* pictures = nullptr) : pictures_(pictures) {}
  ChangeJournal(ChangeJournal&&) noexcept = default;
  ChangeJournal& operator=(ChangeJournal&&) noexcept = default;
  ChangeJournal(const ChangeJournal&) = delete;
  ChangeJournal& operator=(const ChangeJournal&) = delete;

  // Called by the nodes before they change.
  void bytesChanging(Node& node, std::size_t offset, std::span<const std::uint8_t> old);
  void dataChanging(Node& node, Node::Data old);
  void renaming(Node& node, std::string old);
  // Called after `parent` took a child at `index`, and after it gave one up into the journal.
  void inserted(Node& parent, std::size_t index);
  void removed(Node& parent, std::size_t index, std::unique_ptr<Node> child);

  // The picture list's changes, made through these so they can be undone.
  void insertPicture(std::size_t index, PictureEntry entry);
  void erasePicture(std::size_t index);
  void replacePicture(std::size_t index, PictureEntry entry);

  // Plays the changes backwards (undo) or forwards (redo); each leaves the record ready for the other.
  void undo();
  void redo();

  bool empty() const { return changes_.empty(); }
  // Bytes the record holds: old values, removed subtrees and old pictures, with its own bookkeeping.
  std::size_t heldBytes() const { return heldBytes_; }
  // The pictures whose entries or places changed (indexes as they were when changed).
  bool picturesChanged() const { return picturesChanged_; }

 private:
  struct Change {
    enum class Kind { bytes, data, name, child, pictureSlot, pictureEntry };
    Kind kind;
    Node* node = nullptr;      // the node changed; for `child`, the parent
    std::size_t position = 0;  // byte offset, child index or picture index
    Block bytes;
    Node::Data data;
    std::string text;
    std::unique_ptr<Node> child;          // the child while it is out of the tree
    std::optional<PictureEntry> picture;  // the entry while it is out of the list, or the other value
  };
  void apply(Change& change);
  void record(Change change);

  std::vector<PictureEntry>* pictures_;
  std::vector<Change> changes_;
  std::size_t heldBytes_ = 0;
  bool picturesChanged_ = false;
};

// The bytes a subtree owns: blocks, names and resource names, roughly what removing it would free.
std::size_t subtreeBytes(const Node& node);
std::size_t pictureEntryBytes(const PictureEntry& entry);

}  // namespace delvix::model
