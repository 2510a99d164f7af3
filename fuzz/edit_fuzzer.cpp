// Edits a fuzzed file with a fuzzed script, as the window's buttons would, through the edit history, then
// saves it (to memory) and reads it again: the file must read, with the document's tree, pictures, steps and
// samples. Undoing every step must give back the bytes the file was saved with before.
// Input: one byte N, N bytes of script (four bytes a step: what, then three numbers), then the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "edit/add_chunks.h"
#include "edit/add_image.h"
#include "edit/remove_chunk.h"
#include "fieldview/apply.h"
#include "fieldview/list_node.h"
#include "fieldview/pixel_table.h"
#include "formats/one_image_writer.h"
#include "fuzz_support.h"
#include "history/edit_history.h"
#include "wave/sample_cut.h"

using namespace delvix;
using fieldview::ApplyResult;

namespace {

const char* const values[] = {"0",     "1",  "2",          "3",          "7",   "255", "256", "65535",
                              "65536", "-1", "4294967295", "4294967296", "abc", "",    "32",  "1000000"};

std::vector<model::Node*> nodesOf(const model::Document& document) {
  std::vector<model::Node*> nodes;
  document.tree.forEach([&](const model::Node& node, int) { nodes.push_back(const_cast<model::Node*>(&node)); });
  return nodes;
}

std::string valueText(std::uint8_t pick, const std::string& shown) {
  if (pick < 16) return values[pick];
  if (pick < 32) return shown;
  return std::to_string(pick);
}

// Apply on row `row` of the table listed for `node`, with `pick` choosing what goes into its boxes.
bool apply(model::Document& document, model::Node& node, std::uint8_t row, std::uint8_t pick) {
  using fieldview::EditBox;
  const bool pixels = node.name() == "color_bitmap";
  const fieldview::FieldSettings editable{0, 0, 0};
  const fieldview::Listing listing = pixels ? fieldview::listPixelPage(document, node, 0, editable, 1)
                                            : fieldview::listNode(document, node, editable, 1);
  if (listing.rows.empty()) return false;
  const std::size_t index = row % listing.rows.size();
  const std::string value = valueText(pick, listing.rows.at(index).value);
  if (pixels || node.name() == "color_table") {
    fieldview::BoxTexts texts =
        pixels ? fieldview::selectPixelRow(node, 0, index).boxes : fieldview::selectColourTableRow(node, index);
    for (const fieldview::ShownBox& box : listing.boxes)
      if (pick & static_cast<std::uint8_t>(1u << (static_cast<int>(box.box) % 8))) texts[box.box] = value;
    const ApplyResult result =
        pixels ? fieldview::applyPixelRow(document, node, 0, index, texts)
               : fieldview::applyRow(document, node, fieldview::EditMode::colourTable, index, texts);
    return result.kind == ApplyResult::Kind::applied;
  }
  const fieldview::BoxTexts texts{{EditBox::edit1, value}, {EditBox::editInfo, value}};
  return fieldview::applyRow(document, node, listing.editMode.value_or(fieldview::EditMode::none), index, texts).kind ==
         ApplyResult::Kind::applied;
}

// Add: a step, chunks, or a copy of one of the file's own pictures.
bool add(model::Document& document, model::Node& node, std::uint8_t a, std::uint8_t b) {
  switch (a % 3) {
    case 0:
      if (node.name() != "sequence") return false;
      return fieldview::addStep(document, node, valueText(b, "")).kind == ApplyResult::Kind::applied;
    case 1: {
      edit::ChunkAdditions additions{.rate = (b & 1) != 0, .sequence = (b & 2) != 0, .fact = (b & 4) != 0};
      if (b & 8) additions.info.push_back({edit::offeredInfoItems()[b % 10].first, valueText(b >> 4, "")});
      return edit::addChunks(document, additions).changed;
    }
    default: {
      const model::Node* picture = formats::findPicture(document, static_cast<int>(b % (document.pictures.size() + 1)));
      if (!picture) return false;
      const formats::WrittenFile file = formats::writeOneImage(document, *picture, formats::IconKind::cursor);
      formats::RecordingReporter reporter;
      const auto source = edit::readIconSource(file.joined(), reporter);
      return source && edit::addImage(document, *source, 0).added;
    }
  }
}

bool remove(model::Document& document, model::Node& node, std::uint8_t row) {
  if (node.name() == "sequence" && row & 0x80)
    return fieldview::removeStep(document, node, row & 0x7F).kind == ApplyResult::Kind::applied;
  return edit::removeChunk(document, node).removed;
}

bool cut(model::Document& document, std::uint8_t first, std::uint8_t last) {
  const std::uint64_t frames = wave::frameCountOf(document.wave);
  return wave::cutFrames(document, frames * first / 256, frames * last / 256);
}

// Known: a second "seq ", "rate", "fact" or INFO list, kept as it was, is the one read once the first was
// removed, so the saved file reads with it.
bool keptTwinTakesOver(const model::Document& document) {
  const model::Node* root = document.tree.findFirst(document.kind == model::FileKind::wave ? "RIFF_WAVE" : "RIFF_ACON");
  const std::pair<const char*, const char*> twins[] = {
      {"chunk_seq", "sequence"}, {"chunk_rate", "time"}, {"chunk_fact", "fact"}, {"chunk_LIST_INFO", "List_info"}};
  return root && std::ranges::any_of(twins, [&](const auto& twin) {
           return root->findChild(twin.first) && !root->findChild(twin.second);
         });
}

void checkSavedFile(const model::Document& document) {
  const formats::WrittenFile written = fuzz::writeAsSaved(document);
  if (!written.complete || keptTwinTakesOver(document)) return;
  const std::vector<std::uint8_t> bytes = written.joined();
  fuzz::keepSaved(bytes);
  model::Document again;
  formats::RecordingReporter reporter;
  if (!fuzz::readAs(document.kind, bytes, again, reporter)) fuzz::fail("the saved file does not read");
  if (const std::string difference = fuzz::treeDifference(document.tree, again.tree); !difference.empty()) {
    if (std::getenv("DELVIX_FUZZ_TRACE")) fuzz::printTree(again.tree);
    fuzz::fail("the saved file reads as another tree: " + difference);
  }
  if (const std::string difference = fuzz::pictureDifference(document, again); !difference.empty())
    fuzz::fail("the saved file: " + difference);
  if (!fuzz::sameAnimation(document, again))
    fuzz::fail("the saved file has " + fuzz::stepsAndRates(again.ani) + ", the document " +
               fuzz::stepsAndRates(document.ani));
  if (!(document.wave.samples == again.wave.samples)) fuzz::fail("the saved file has other samples");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t scriptSize = std::min<std::size_t>(data[0], size - 1);
  const fuzz::Bytes script(data + 1, scriptSize);
  const fuzz::Bytes file(data + 1 + scriptSize, size - 1 - scriptSize);
  const model::FileKind kind = fuzz::kindOf(file);
  if (kind == model::FileKind::module) return 0;
  model::Document document;
  formats::RecordingReporter reporter;
  if (!fuzz::readAs(kind, file, document, reporter)) return 0;
  const formats::WrittenFile original = fuzz::writeAsSaved(document);

  history::EditHistory history;
  // DELVIX_FUZZ_TRACE=1 prints each step, to tell what a finding did.
  const bool trace = std::getenv("DELVIX_FUZZ_TRACE") != nullptr;
  for (std::size_t at = 0; at + 4 <= script.size(); at += 4) {
    const std::uint8_t what = script[at], a = script[at + 1], b = script[at + 2], c = script[at + 3];
    const std::vector<model::Node*> nodes = nodesOf(document);
    model::Node* node = nodes.empty() ? nullptr : nodes[a % nodes.size()];
    bool done = false;
    switch (what % 6) {
      case 0: done = node && history.perform(document, "Apply", [&] { return apply(document, *node, b, c); }); break;
      case 1: done = node && history.perform(document, "Add", [&] { return add(document, *node, b, c); }); break;
      case 2: done = node && history.perform(document, "Remove", [&] { return remove(document, *node, b); }); break;
      case 3: done = history.canUndo() && (history.undo(document), true); break;
      case 4: done = history.canRedo() && (history.redo(document), true); break;
      default: done = history.perform(document, "Cut", [&] { return cut(document, b, c); }); break;
    }
    if (trace)
      std::fprintf(stderr, "step %zu: %d on %s, %d %d: %s\n", at / 4, what % 6, node ? node->name().c_str() : "-", b, c,
                   done ? "done" : "nothing");
  }
  if (trace) fuzz::printTree(document.tree);
  checkSavedFile(document);
  while (history.canUndo()) history.undo(document);
  if (original.complete && fuzz::writeAsSaved(document).joined() != original.joined())
    fuzz::fail("undoing every step does not give back the file as it was");
  return 0;
}
