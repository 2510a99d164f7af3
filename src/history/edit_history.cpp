#include "history/edit_history.h"

#include <stdexcept>
#include <utility>

namespace delvix::history {

namespace {

std::size_t aniBytes(const model::AniState& ani) {
  const std::size_t entries = ani.rates.capacity() + ani.sequence.capacity() + ani.frameSizes.capacity();
  std::size_t bytes = sizeof ani + entries * sizeof(std::uint32_t) + ani.headerTail.capacity() +
                      ani.rateTail.capacity() + ani.sequenceTail.capacity();
  for (const auto& names : {&ani.chunkOrder, &ani.infoOrder})
    for (const std::string& name : *names) bytes += sizeof name + name.capacity();
  return bytes;
}

// The module's bytes count in full: the step is what keeps them alive.
std::size_t moduleBytes(const model::ModuleState& module) {
  std::size_t bytes = sizeof module + module.bytes.size();
  for (const auto& [index, picture] : module.bitmapPictures)
    bytes += sizeof index + sizeof picture + picture.pixels().capacity() * sizeof(gfx::Pixel);
  for (const auto& [index, problem] : module.bitmapProblems) bytes += sizeof index + problem.capacity();
  return bytes;
}

}  // namespace

std::string EditHistory::undoName() const { return canUndo() ? steps_[position_ - 1].name : std::string(); }

std::string EditHistory::redoName() const { return canRedo() ? steps_[position_].name : std::string(); }

void EditHistory::begin(model::Document& document, std::string name) {
  if (recording_) throw std::logic_error("An edit is already being recorded.");
  recording_.emplace(Step{std::move(name), model::ChangeJournal(&document.pictures), {}, 0});
  aniBefore_ = document.ani;
  waveBefore_ = document.wave;
  imageCountBefore_ = document.imageCount;
  statusBefore_ = document.statusText;
  if (document.kind == model::FileKind::module) moduleBefore_ = document.module;
  document.tree.setJournal(&recording_->journal);
}

void EditHistory::finish(model::Document& document) {
  document.tree.setJournal(nullptr);
  Step step = std::move(*recording_);
  recording_.reset();
  if (!(aniBefore_ == document.ani)) step.state.ani = std::move(aniBefore_);
  if (!(waveBefore_ == document.wave)) step.state.wave = std::move(waveBefore_);
  if (imageCountBefore_ != document.imageCount) step.state.imageCount = imageCountBefore_;
  if (statusBefore_ != document.statusText) step.state.statusText = std::move(statusBefore_);
  if (moduleBefore_ && moduleBefore_->bytes.data() != document.module.bytes.data()) {
    step.state.module = std::move(moduleBefore_);
  } else if (moduleBefore_ && !step.journal.empty()) {
    // An edit of the tree alone: the module's bytes do not hold it, which undoing it takes back.
    document.module.treeEdited = true;
    step.state.module = std::move(moduleBefore_);
  }
  aniBefore_ = {};
  waveBefore_ = {};
  moduleBefore_.reset();
  const StateBefore& state = step.state;
  if (step.journal.empty() && !state.ani && !state.wave && !state.imageCount && !state.statusText && !state.module)
    return;

  step.bytes = sizeof(Step) + step.name.capacity() + step.journal.heldBytes() + (state.ani ? aniBytes(*state.ani) : 0) +
               (state.wave ? sizeof(model::WaveState) + state.wave->formatTail.capacity() +
                                 state.wave->samples.pieces().size() * sizeof(model::SharedBytes)
                           : 0) +
               (state.statusText ? state.statusText->capacity() : 0) + (state.module ? moduleBytes(*state.module) : 0);
  // The steps that were undone cannot be redone after another edit.
  while (steps_.size() > position_) {
    heldBytes_ -= steps_.back().bytes;
    steps_.pop_back();
  }
  if (clean_ && *clean_ > position_) clean_.reset();
  heldBytes_ += step.bytes;
  steps_.push_back(std::move(step));
  ++position_;
  dropOldestOverBudget();
  changed();
}

Replayed EditHistory::replay(model::Document& document, Step& step, bool forwards) {
  Replayed replayed;
  replayed.tree = !step.journal.empty();
  replayed.pictures = step.journal.picturesChanged();
  if (forwards)
    step.journal.redo();
  else
    step.journal.undo();
  // The state kept is swapped with the live one, ready for the other direction.
  StateBefore& state = step.state;
  if (state.ani) {
    std::swap(*state.ani, document.ani);
    replayed.animation = true;
  }
  if (state.wave) {
    std::swap(*state.wave, document.wave);
    replayed.wave = true;
  }
  if (state.imageCount) std::swap(*state.imageCount, document.imageCount);
  if (state.statusText) std::swap(*state.statusText, document.statusText);
  if (state.module) {
    std::swap(*state.module, document.module);
    replayed.module = true;
  }
  return replayed;
}

Replayed EditHistory::undo(model::Document& document) {
  if (!canUndo() || recording_) return {};
  --position_;
  Replayed replayed = replay(document, steps_[position_], false);
  changed();
  return replayed;
}

Replayed EditHistory::redo(model::Document& document) {
  if (!canRedo() || recording_) return {};
  Replayed replayed = replay(document, steps_[position_], true);
  ++position_;
  changed();
  return replayed;
}

void EditHistory::markClean() {
  clean_ = position_;
  changed();
}

void EditHistory::clear() {
  steps_.clear();
  position_ = 0;
  clean_ = 0;
  heldBytes_ = 0;
  changed();
}

void EditHistory::setBudget(std::size_t bytes) {
  budget_ = bytes;
  dropOldestOverBudget();
}

void EditHistory::dropOldestOverBudget() {
  // The newest step stays whatever it holds: the edit just made can always be undone.
  while (heldBytes_ > budget_ && steps_.size() > 1 && position_ > 1) {
    heldBytes_ -= steps_.front().bytes;
    steps_.pop_front();
    --position_;
    if (clean_) {
      if (*clean_ == 0)
        clean_.reset();
      else
        --*clean_;
    }
  }
}

void EditHistory::changed() {
  if (listener_) listener_();
}

}  // namespace delvix::history
