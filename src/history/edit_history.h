#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "model/change_journal.h"
#include "model/document.h"

namespace delvix::history {

// What an undo or a redo changed, so the views know what to show again.
struct Replayed {
  bool tree = false;
  bool pictures = false;
  bool animation = false;
  bool wave = false;
  // A module's bytes, counters and decoded bitmaps.
  bool module = false;
};

// The edit history of one document: each edit is a step with a name ("Apply Default rate", "Remove picture_3")
// that records what it changed while it runs, and that can be undone and redone exactly. A save marks the clean
// point; the document is modified whenever the history is not at it. Steps hold what they changed, never a copy
// of the document: the oldest steps are dropped when they hold more than the budget together.
class EditHistory {
 public:
  static constexpr std::size_t defaultBudget = std::size_t{256} << 20;

  explicit EditHistory(std::size_t budget = defaultBudget) : budget_(budget) {}

  // Runs `edit` on `document` as one step named `name`: every change it makes is recorded. The step is kept
  // when something changed and dropped when nothing did (a refused edit). Steps that were undone are
  // forgotten once a new one is kept. Returns what `edit` returns.
  template <typename Edit>
  auto perform(model::Document& document, std::string name, Edit&& edit) {
    begin(document, std::move(name));
    struct Finish {
      EditHistory& history;
      model::Document& document;
      ~Finish() { history.finish(document); }
    } finish{*this, document};
    return edit();
  }

  // Names the step being recorded anew, once the edit knows what it did.
  void nameStep(std::string name) {
    if (recording_) recording_->name = std::move(name);
  }

  bool canUndo() const { return position_ > 0; }
  bool canRedo() const { return position_ < steps_.size(); }
  // The names of the steps undo and redo would take back or make again; empty when there is none.
  std::string undoName() const;
  std::string redoName() const;
  Replayed undo(model::Document& document);
  Replayed redo(model::Document& document);

  // The document as it is now was saved.
  void markClean();
  bool isClean() const { return clean_ && *clean_ == position_; }
  // Forgets every step (another file was opened); the document as it is counts as saved.
  void clear();

  std::size_t stepCount() const { return steps_.size(); }
  std::size_t heldBytes() const { return heldBytes_; }
  void setBudget(std::size_t bytes);

  // Called whenever the steps, the position or the clean point changed.
  void setListener(std::function<void()> listener) { listener_ = std::move(listener); }

 private:
  // The document's state beside the tree, as it was before the step and, once undone, as it was after.
  struct StateBefore {
    std::optional<model::AniState> ani;
    std::optional<model::WaveState> wave;
    std::optional<int> imageCount;
    std::optional<std::string> statusText;
    std::optional<model::ModuleState> module;
  };
  struct Step {
    std::string name;
    model::ChangeJournal journal;
    StateBefore state;
    std::size_t bytes = 0;
  };

  void begin(model::Document& document, std::string name);
  void finish(model::Document& document);
  Replayed replay(model::Document& document, Step& step, bool forwards);
  void dropOldestOverBudget();
  void changed();

  std::deque<Step> steps_;
  std::size_t position_ = 0;
  // Nullopt once the saved state can no longer be reached.
  std::optional<std::size_t> clean_ = 0;
  std::size_t budget_;
  std::size_t heldBytes_ = 0;
  std::optional<Step> recording_;
  model::AniState aniBefore_;
  model::WaveState waveBefore_;
  int imageCountBefore_ = 0;
  std::string statusBefore_;
  // Kept for a module only: its state changes with its bytes, which a step compares by identity.
  std::optional<model::ModuleState> moduleBefore_;
  std::function<void()> listener_;
};

}  // namespace delvix::history
