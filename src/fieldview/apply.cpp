#include "fieldview/apply.h"

#include "fieldview/apply_edits.h"
#include "fieldview/field_ranges.h"
#include "fieldview/list_node.h"
#include "fieldview/number_text.h"
#include "fieldview/pixel_table.h"
#include "model/info_items.h"

namespace delvix::fieldview {

namespace {

bool isRiffDocument(const model::Document& document) {
  return document.kind == model::FileKind::animatedCursor || document.kind == model::FileKind::wave;
}

// The fact value counts the sample frames per channel; nothing but the wave state holds it.
ApplyResult applyFact(model::Document& document, const model::Node& node, std::size_t row, const std::string& text) {
  if (document.kind != model::FileKind::wave || node.name() != "fact" || row != 0) return {};
  auto value = numberInRange(text, ranges::u32);
  if (!value) return refusedWith(notANumberMessage(text, ranges::u32));
  document.wave.factValue = static_cast<std::uint32_t>(*value);
  ApplyResult result;
  result.kind = ApplyResult::Kind::applied;
  result.changedRows.push_back(changedRow(document, node, row, ranges::u32));
  return result;
}

}  // namespace

const std::string& boxText(const BoxTexts& texts, EditBox box) {
  static const std::string empty;
  auto found = texts.find(box);
  return found == texts.end() ? empty : found->second;
}

ApplyResult refusedWith(std::string message) {
  ApplyResult result;
  result.kind = ApplyResult::Kind::refused;
  result.message = std::move(message);
  return result;
}

std::pair<std::size_t, Row> changedRow(const model::Document& document, const model::Node& node, std::size_t row,
                                       ValueRange range) {
  // Every edit setting on, so that the fact row is listed as the editable row it was when applied.
  const FieldSettings editable{.editTable = 0, .editData = 0, .editFact = 0};
  const Listing listing = listNode(document, node, editable, 1);
  Row listed = row < listing.rows.size() ? listing.rows.at(row) : Row{};
  listed.mark = Mark::editable;
  listed.range = range;
  return {row, std::move(listed)};
}

ApplyResult applyRow(model::Document& document, model::Node& node, EditMode mode, std::size_t row,
                     const BoxTexts& texts) {
  const std::string& edit1 = boxText(texts, EditBox::edit1);
  switch (mode) {
    case EditMode::directoryEntry:
    case EditMode::frameHeader:
    case EditMode::hotSpot:
    case EditMode::bitmapHeader: return applyBlockField(document, node, mode, row, edit1);
    case EditMode::rate: return applyRate(document, node, row, edit1);
    case EditMode::sequence: return applySequenceEntry(document, node, row, edit1);
    case EditMode::aniHeader: return applyAniHeader(document, node, row, edit1);
    case EditMode::fact: return applyFact(document, node, row, edit1);
    case EditMode::colourTable: return applyColourTableRow(document, node, row, texts);
    case EditMode::xcursorImage: return applyXcursorImage(document, node, row, edit1);
    case EditMode::headerOrInfoItem:
      if (document.kind == model::FileKind::xcursor)
        return applyXcursorComment(document, node, boxText(texts, EditBox::editInfo));
      // "header", the icon header, takes no edits.
      if (!isRiffDocument(document) || !model::isInfoDescription(node.name())) return {};
      return applyInfoItem(document, node, boxText(texts, EditBox::editInfo));
    default:
      // The pixel tables need their page: the window applies them with applyPixelRow. The other tables
      // take no edits.
      return {};
  }
}

}  // namespace delvix::fieldview
