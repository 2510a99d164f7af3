#include "edit/remove_chunk.h"

#include "edit/icon_directory.h"
#include "fieldview/apply.h"
#include "model/info_items.h"
#include "model/picture_index.h"
#include "model/picture_list.h"

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

// Gives the numbered nodes from `first` on (among `parent`'s children named `prefix` n) the numbers
// first, first + 1, ...
void renumberFrom(model::Node& parent, std::string_view prefix, std::size_t firstChild, int firstNumber) {
  int number = firstNumber;
  for (std::size_t i = firstChild; i < parent.childCount(); ++i) {
    model::Node& child = parent.child(i);
    if (!model::numberAfter(prefix, child.name())) continue;
    const std::string name = std::string(prefix) + std::to_string(number++);
    if (child.name() != name) child.rename(name);
  }
}

// The picture that takes the removed one's place, or the new last one.
const model::Node* pictureAfterRemoval(const model::Node& parent, std::size_t removedAt) {
  const model::Node* chosen = nullptr;
  for (std::size_t i = 0; i < parent.childCount(); ++i) {
    const model::Node& child = parent.child(i);
    if (!model::pictureNumber(child.name())) continue;
    chosen = &child;
    if (i >= removedAt) break;
  }
  return chosen;
}

// The steps that showed frame `frame` go, with their rates when rates are per step; later frames move down.
// Entries that named no frame read keep naming none, as they were. Without a step left the frames play in order.
void dropFrameSteps(model::AniState& ani, std::uint32_t frame, std::size_t framesLeft) {
  const bool perStep = ani.hasRate && ani.ratesPerStep();
  std::vector<std::uint32_t> sequence;
  std::vector<std::uint32_t> rates;
  const std::size_t framesBefore = framesLeft + 1;
  for (std::size_t step = 0; step < ani.sequence.size(); ++step) {
    const std::uint32_t shown = ani.sequence[step];
    if (shown == frame) continue;
    sequence.push_back(shown > frame && shown < framesBefore ? shown - 1 : shown);
    if (perStep && step < ani.rates.size()) rates.push_back(ani.rates[step]);
  }
  if (perStep) {
    // Entries beyond the steps are kept as they were.
    for (std::size_t entry = ani.sequence.size(); entry < ani.rates.size(); ++entry) rates.push_back(ani.rates[entry]);
  }
  if (sequence.empty()) {
    for (std::size_t shown = 0; shown < framesLeft; ++shown) sequence.push_back(static_cast<std::uint32_t>(shown));
    if (perStep) rates.assign(framesLeft, ani.header.displayRate);
  }
  ani.sequence = std::move(sequence);
  if (perStep) ani.rates = std::move(rates);
  if (ani.hasRate && !ani.ratesPerStep() && frame < ani.rates.size())
    ani.rates.erase(ani.rates.begin() + static_cast<std::ptrdiff_t>(frame));
  ani.header.steps = ani.stepCount = static_cast<std::uint32_t>(ani.sequence.size());
}

constexpr const char* lastPicture = "The last picture of a file cannot be removed.";

Removal refusedRemoval(std::string reason) {
  Removal removal;
  removal.refusal = std::move(reason);
  return removal;
}

Removal removeFrame(model::Document& document, const model::Node& picture, int index) {
  Removal removal;
  model::Node* frames = picture.parent();
  if (!frames || frames->name() != "List_images") return removal;
  if (document.imageCount < 2) return refusedRemoval(lastPicture);
  const auto frame = static_cast<std::size_t>(index);
  const std::size_t position = picture.indexInParent();
  model::AniState& ani = document.ani;
  const std::size_t framesLeft = std::max<std::size_t>(ani.framesRead, frame + 1) - 1;
  dropFrameSteps(ani, static_cast<std::uint32_t>(frame), framesLeft);
  if (frame < ani.frameSizes.size()) ani.frameSizes.erase(ani.frameSizes.begin() + static_cast<std::ptrdiff_t>(frame));
  ani.framesRead = framesLeft;
  if (ani.header.frames > 0) --ani.header.frames;
  if (frame < document.pictures.size()) model::erasePicture(document, frame);
  --document.imageCount;

  frames->removeChild(picture);
  renumberFrom(*frames, model::picturePrefix, position, index + 1);
  removal.removed = true;
  removal.removedPicture = index;
  removal.delaysChanged = true;
  removal.select = pictureAfterRemoval(*frames, position);
  removal.statusText = fieldview::refreshStoredSizes(document);
  return removal;
}

Removal removeIconPicture(model::Document& document, const model::Node& picture, int index) {
  Removal removal;
  model::Node* header = document.tree.findFirst("header");
  if (!document.tree.isTopLevel(picture) || !header) return removal;
  if (document.imageCount < 2) return refusedRemoval(lastPicture);
  if (model::Node* entry = model::findNumberedChild(*header, "icon_dir_", index + 1)) {
    const std::size_t at = entry->indexInParent();
    header->removeChild(*entry);
    renumberFrom(*header, "icon_dir_", at, index + 1);
  }
  const std::size_t position = picture.indexInParent();
  if (static_cast<std::size_t>(index) < document.pictures.size())
    model::erasePicture(document, static_cast<std::size_t>(index));
  --document.imageCount;
  document.tree.remove(picture);
  model::Node* root = document.tree.first() ? document.tree.first()->parent() : nullptr;
  if (root) renumberFrom(*root, model::picturePrefix, position, index + 1);
  refreshIconDirectory(document);
  removal.removed = true;
  removal.removedPicture = index;
  removal.select = root ? pictureAfterRemoval(*root, position) : nullptr;
  removal.statusText = document.statusText;
  return removal;
}

bool isRiffDocument(const model::Document& document) {
  return document.kind == model::FileKind::wave || document.kind == model::FileKind::animatedCursor;
}

// Drops `node`'s entry from the order a save keeps the chunks in: the k-th entry of its name for the k-th node of
// that name, so that the chunks after it that share its name keep their places.
void forgetPlace(std::vector<std::string>& order, const model::Node& node) {
  std::size_t before = 0;
  for (const auto& sibling : node.parent()->children()) {
    if (sibling.get() == &node) break;
    if (sibling->name() == node.name()) ++before;
  }
  for (auto entry = order.begin(); entry != order.end(); ++entry)
    if (*entry == node.name() && before-- == 0) {
      order.erase(entry);
      return;
    }
}

}  // namespace

Removal removeChunk(model::Document& document, const model::Node& node) {
  Removal removal;
  const std::string name = node.name();
  const model::Node* parent = node.parent();
  const bool infoItem = model::isInfoDescription(name) && parent && parent->name() == "List_info";
  const bool ani = document.kind == model::FileKind::animatedCursor;
  const bool wave = document.kind == model::FileKind::wave;
  if (const auto number = model::pictureNumber(name)) {
    if (ani) return removeFrame(document, node, *number - 1);
    if (document.kind == model::FileKind::iconFile) return removeIconPicture(document, node, *number - 1);
    return removal;
  }
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
  if (ani) forgetPlace(gone->parent()->name() == "List_info" ? document.ani.infoOrder : document.ani.chunkOrder, *gone);
  removal.select = document.tree.previous(*gone);
  document.tree.remove(*gone);
  removal.removed = true;
  removal.statusText = fieldview::refreshStoredSizes(document);
  return removal;
}

}  // namespace delvix::edit
