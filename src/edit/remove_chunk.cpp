#include "edit/remove_chunk.h"

#include "fieldview/apply.h"
#include "model/info_items.h"

namespace delvix::edit {

namespace {

// Without a sequence the steps are the frames in order, and rates count frames: a frame keeps the time of the
// first step that showed it, or the header's display rate.
void dropSequence(model::AniState& ani) {
  const std::size_t frames = ani.framesRead;
  if (ani.hasRate && ani.ratesPerStep()) {
    std::vector<std::uint32_t> perFrame(frames, ani.header.displayRate);
    std::vector<bool> taken(frames, false);
    for (std::size_t step = 0; step < ani.sequence.size() && step < ani.rates.size(); ++step) {
      const std::uint32_t frame = ani.sequence[step];
      if (frame < frames && !taken[frame]) {
        perFrame[frame] = ani.rates[step];
        taken[frame] = true;
      }
    }
    ani.rates = std::move(perFrame);
  }
  ani.sequence.resize(frames);
  for (std::size_t frame = 0; frame < frames; ++frame) ani.sequence[frame] = static_cast<std::uint32_t>(frame);
  ani.sequenceTail.clear();
  ani.hasSequence = false;
  ani.header.attributes &= ~model::aniSequenceFlag;
  ani.header.steps = static_cast<std::uint32_t>(frames);
  ani.stepCount = static_cast<std::uint32_t>(frames);
}

bool isRiffDocument(const model::Document& document) {
  return document.kind == model::FileKind::wave || document.kind == model::FileKind::animatedCursor;
}

}  // namespace

Removal removeChunk(model::Document& document, const model::Node& node) {
  Removal removal;
  const std::string name = node.name();
  const model::Node* parent = node.parent();
  const bool infoItem = model::isInfoDescription(name) && parent && parent->name() == "List_info";
  const bool ani = document.kind == model::FileKind::animatedCursor;
  const bool wave = document.kind == model::FileKind::wave;
  if (!isRiffDocument(document)) return removal;
  if (name == "fact" && wave) {
    document.wave.hasFact = false;
    document.wave.factValue = 0;
  } else if (name == "time" && ani) {
    document.ani.rates.clear();
    document.ani.rateTail.clear();
    document.ani.hasRate = false;
    removal.delaysChanged = true;
  } else if (name == "sequence" && ani) {
    dropSequence(document.ani);
    removal.delaysChanged = true;
  } else if (name == "List_info" || name.starts_with("chunk_") || infoItem) {
    // Nothing beside the tree describes these.
  } else {
    return removal;
  }
  // An INFO list without items is left out too.
  const model::Node* gone = infoItem && parent->childCount() == 1 ? parent : &node;
  document.tree.remove(*gone);
  removal.removed = true;
  removal.statusText = fieldview::refreshStoredSizes(document);
  return removal;
}

}  // namespace delvix::edit
