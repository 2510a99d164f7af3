#include "edit/add_chunks.h"

#include <algorithm>
#include <limits>

#include "fieldview/apply.h"
#include "fieldview/info_text.h"
#include "model/info_items.h"

namespace delvix::edit {

namespace {

model::Node* riffRoot(const model::Document& document) {
  if (document.kind == model::FileKind::wave) return document.tree.findFirst("RIFF_WAVE");
  if (document.kind == model::FileKind::animatedCursor) return document.tree.findFirst("RIFF_ACON");
  return nullptr;
}

// The position after `name` among `parent`'s children; `fallback` when there is no such child.
std::size_t after(const model::Node& parent, std::string_view name, std::size_t fallback) {
  const model::Node* child = parent.findChild(name);
  return child ? child->indexInParent() + 1 : fallback;
}

std::size_t before(const model::Node& parent, std::string_view name, std::size_t fallback) {
  const model::Node* child = parent.findChild(name);
  return child ? child->indexInParent() : fallback;
}

// The INFO list, made when there is none where the reader shows it once the file is saved and opened again:
// in a wave file after "data" (before the chunks kept as they were), in an animated cursor first. (The
// animated cursor's writer puts it after "anih", where other readers look for it.)
model::Node& infoList(model::Document& document, model::Node& root) {
  if (model::Node* list = root.findChild("List_info")) return *list;
  const std::size_t at = document.kind == model::FileKind::wave ? after(root, "data", root.childCount()) : 0;
  return root.insertChild(at, "List_info", {}, model::state::listChunk);
}

// Items stay in the order of the item table, before the sub-chunks kept as they were.
std::size_t infoItemPlace(const model::Node& list, std::size_t tablePosition) {
  for (const auto& child : list.children()) {
    const auto position = model::infoPositionByDescription(child->name());
    if (!position || *position > tablePosition) return child->indexInParent();
  }
  return list.childCount();
}

bool addInfoItem(model::Document& document, model::Node& root, const InfoText& item, Addition& addition) {
  const auto position = model::infoPositionById(item.id);
  if (!position) return false;
  const std::string description(model::infoItems()[*position].description);
  if (const model::Node* list = root.findChild("List_info"); list && list->findChild(description)) return false;
  if (item.text.size() > 0xFFFF0000u) {
    addition.log.push_back("Add: the text of " + description + " is too long for an INFO item.");
    return false;
  }
  model::Node& list = infoList(document, root);
  const model::Node blank(description);
  list.insertChild(infoItemPlace(list, *position), description, fieldview::infoItemBlock(item.text, blank),
                   model::state::infoItem);
  return true;
}

bool addFact(model::Document& document, model::Node& root) {
  model::WaveState& wave = document.wave;
  if (wave.hasFact || root.findChild("fact")) return false;
  const auto value = factValueOf(wave);
  if (!value) return false;
  wave.hasFact = true;
  wave.factValue = *value;
  root.insertChild(before(root, "data", root.childCount()), "fact");
  return true;
}

bool addRate(model::Document& document, model::Node& root) {
  model::AniState& ani = document.ani;
  if (ani.hasRate || root.findChild("time")) return false;
  const std::size_t entries = ani.ratesPerStep() ? ani.sequence.size() : ani.framesRead;
  ani.rates.assign(entries, ani.header.displayRate);
  ani.rateTail.clear();
  ani.hasRate = true;
  root.insertChild(after(root, "ani_header", 0), "time", {}, model::state::rate);
  return true;
}

// The steps stay as they are shown; rates kept per frame become one per step.
bool addSequence(model::Document& document, model::Node& root) {
  model::AniState& ani = document.ani;
  if (ani.hasSequence || root.findChild("sequence")) return false;
  if (ani.hasRate && !ani.ratesPerStep()) {
    std::vector<std::uint32_t> perStep;
    perStep.reserve(ani.sequence.size());
    for (std::size_t step = 0; step < ani.sequence.size(); ++step) perStep.push_back(ani.stepDelay(step));
    ani.rates = std::move(perStep);
  }
  ani.sequenceTail.clear();
  ani.hasSequence = true;
  ani.header.attributes |= model::aniSequenceFlag;
  const std::size_t at = before(root, "List_images", root.childCount());
  root.insertChild(at, "sequence", {}, model::state::sequence);
  return true;
}

}  // namespace

const std::array<std::pair<const char*, const char*>, 10>& offeredInfoItems() {
  static const std::array<std::pair<const char*, const char*>, 10> items{{{"INAM", "Name (INAM)"},
                                                                          {"IART", "Artist (IART)"},
                                                                          {"ICRD", "Date (ICRD)"},
                                                                          {"IENG", "Engineer (IENG)"},
                                                                          {"ISFT", "Software (ISFT)"},
                                                                          {"ICOP", "Copyright (ICOP)"},
                                                                          {"IPRD", "Product (IPRD)"},
                                                                          {"ISRC", "Source (ISRC)"},
                                                                          {"ICMT", "Comments (ICMT)"},
                                                                          {"ISBJ", "Subject (ISBJ)"}}};
  return items;
}

std::optional<std::uint32_t> factValueOf(const model::WaveState& wave) {
  const model::WaveFormat& format = wave.format;
  const std::uint64_t data = std::min<std::uint64_t>(wave.dataSize, wave.samples.size());
  std::uint64_t frames = 0;
  const std::uint16_t tag = format.formatTag;
  if (wave.isPcm() || tag == model::waveExtensibleTag || tag == model::waveFloatTag || tag == model::waveALawTag ||
      tag == model::waveMuLawTag) {
    if (format.blockAlign == 0) return std::nullopt;
    frames = data / format.blockAlign;
  } else if (tag == model::waveMsAdpcmTag || tag == model::waveImaAdpcmTag || tag == model::waveGsmTag) {
    // These codecs give the samples each block decodes to right after the format record.
    if (format.blockAlign == 0 || wave.formatTail.size() < 2) return std::nullopt;
    const std::uint32_t samplesPerBlock = wave.formatTail[0] | (wave.formatTail[1] << 8);
    if (samplesPerBlock == 0) return std::nullopt;
    frames = data / format.blockAlign * samplesPerBlock;
  } else {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(frames, std::numeric_limits<std::uint32_t>::max()));
}

ChunkOffer chunkOffer(const model::Document& document) {
  ChunkOffer offer;
  const bool wave = document.kind == model::FileKind::wave;
  const bool ani = document.kind == model::FileKind::animatedCursor;
  const model::Node* root = riffRoot(document);
  offer.infoEnabled = root != nullptr;
  const model::Node* list = root ? root->findChild("List_info") : nullptr;
  for (const auto& [id, caption] : offeredInfoItems()) {
    InfoChoice choice;
    choice.id = id;
    choice.caption = caption;
    choice.description = model::infoItems()[*model::infoPositionById(id)].description;
    if (const model::Node* item = list ? list->findChild(choice.description) : nullptr) {
      choice.present = true;
      choice.text = fieldview::infoItemText(*item);
    }
    offer.info.push_back(std::move(choice));
  }
  if (ani && root) {
    const bool hasRate = document.ani.hasRate || root->findChild("time");
    const bool hasSequence = document.ani.hasSequence || root->findChild("sequence");
    offer.rate = {!hasRate, hasRate};
    offer.sequence = {!hasSequence, hasSequence};
  }
  if (wave && root) {
    const bool hasFact = document.wave.hasFact || root->findChild("fact");
    offer.fact = {!hasFact && factValueOf(document.wave).has_value(), hasFact};
  }
  offer.imagesEnabled = ani || document.kind == model::FileKind::iconFile;
  return offer;
}

Addition addChunks(model::Document& document, const ChunkAdditions& additions) {
  Addition addition;
  model::Node* root = riffRoot(document);
  if (!root) return addition;
  for (const InfoText& item : additions.info) addition.changed |= addInfoItem(document, *root, item, addition);
  if (document.kind == model::FileKind::wave && additions.fact) {
    if (addFact(document, *root))
      addition.changed = true;
    else if (!document.wave.hasFact)
      addition.log.push_back("Add: the sample frames of this format are not known; no 'fact' chunk was added.");
  }
  if (document.kind == model::FileKind::animatedCursor) {
    // Tables of a file without a frame would be empty, which no reader takes.
    if ((additions.sequence || additions.rate) && document.ani.framesRead == 0) {
      addition.log.push_back("Add: the file has no frame; no 'rate' or 'seq ' chunk was added.");
    } else {
      // The sequence first: rates added with it are then made one a step at once.
      if (additions.sequence && addSequence(document, *root)) addition.changed = addition.delaysChanged = true;
      if (additions.rate && addRate(document, *root)) addition.changed = addition.delaysChanged = true;
    }
  }
  if (addition.changed) addition.statusText = fieldview::refreshStoredSizes(document);
  return addition;
}

}  // namespace delvix::edit
