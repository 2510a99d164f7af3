#include "edit/hot_spot_edit.h"

#include "fieldview/apply.h"
#include "fieldview/list_node.h"
#include "fieldview/row_lookup.h"
#include "formats/le_bytes.h"
#include "model/picture_index.h"
#include "preview/frame_render.h"
#include "preview/picture_listing.h"

namespace delvix::edit {

namespace {

constexpr long long largestCoordinate = 0xFFFF;

// The node whose table holds picture `index`'s "HotPot X" and "HotPot Y" rows.
model::Node* hotSpotNode(const model::Document& document, int index) {
  if (document.kind == model::FileKind::iconFile) {
    const model::Node* header = document.tree.empty() ? nullptr : &document.tree.topLevel(0);
    return header ? model::findNumberedChild(*header, "icon_dir_", index + 1) : nullptr;
  }
  const model::Node* picture = preview::pictureNode(document, index);
  return picture ? picture->findChild("image_info") : nullptr;
}

// The entry `node` stands for: an "icon_dir_" n, or a "picture_" n or one of its parts.
std::optional<int> entryOf(const model::Node& node) {
  if (const auto number = model::numberAfter("icon_dir_", node.name())) return *number - 1;
  return model::pictureIndexOf(node);
}

// Writes one coordinate through Apply; the refusal, or empty.
std::string applyCoordinate(model::Document& document, model::Node& node, const char* caption, long long value,
                            HotSpotChange& change) {
  const fieldview::Listing listing = fieldview::listNode(document, node, fieldview::FieldSettings{0, 0, 0}, 1);
  const fieldview::RowLookup row = fieldview::findRow(listing, caption);
  if (!row.index) return node.name() + ' ' + row.problem;
  const fieldview::BoxTexts texts{{fieldview::EditBox::edit1, std::to_string(value)}};
  const fieldview::ApplyResult result =
      fieldview::applyRow(document, node, listing.editMode.value_or(fieldview::EditMode::none), *row.index, texts);
  if (result.kind == fieldview::ApplyResult::Kind::refused) return result.message;
  if (result.kind == fieldview::ApplyResult::Kind::nothing) return node.name() + ": the hot spot cannot be changed";
  if (result.statusText) change.statusText = result.statusText;
  return {};
}

}  // namespace

HotSpotChange setHotSpots(model::Document& document, const model::Node* node, long long x, long long y) {
  HotSpotChange change;
  if (x < 0 || y < 0 || x > largestCoordinate || y > largestCoordinate) {
    change.refusal = "a hot spot takes X and Y from 0 to 65535";
    return change;
  }
  if (document.kind != model::FileKind::iconFile && document.kind != model::FileKind::animatedCursor) {
    change.refusal = "hot spots are set in cursor files and animated cursors only";
    return change;
  }
  const std::vector<preview::PictureFacts> pictures = preview::listPictures(document);
  std::vector<const preview::PictureFacts*> targets;
  const std::optional<int> only = node ? entryOf(*node) : std::nullopt;
  if (node && !only) {
    change.refusal = node->name() + " is not a picture or a directory entry";
    return change;
  }
  for (const preview::PictureFacts& facts : pictures)
    if (!only || facts.number == *only + 1) targets.push_back(&facts);
  if (targets.empty()) {
    change.refusal = node ? node->name() + " is not a picture of this file" : "the file holds no pictures";
    return change;
  }
  for (const preview::PictureFacts* facts : targets)
    if (!facts->hotSpot) {
      change.refusal = model::pictureName(facts->number) + " is an icon, which has no hot spot";
      return change;
    }
  for (const preview::PictureFacts* facts : targets) {
    model::Node* entry = hotSpotNode(document, facts->number - 1);
    if (!entry) {
      change.refusal = model::pictureName(facts->number) + ": its directory entry is missing";
      return change;
    }
    for (auto [caption, value] : {std::pair{"HotPot X", x}, std::pair{"HotPot Y", y}})
      if (std::string refusal = applyCoordinate(document, *entry, caption, value, change); !refusal.empty()) {
        change.refusal = std::move(refusal);
        return change;
      }
    change.changed.push_back(facts->number - 1);
    if (x >= facts->width || y >= facts->height)
      change.warnings.push_back(model::pictureName(facts->number) + ": the hot spot " + std::to_string(x) + ',' +
                                std::to_string(y) + " lies outside the " + std::to_string(facts->width) + 'x' +
                                std::to_string(facts->height) + " picture");
  }
  return change;
}

}  // namespace delvix::edit
