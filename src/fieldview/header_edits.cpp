#include <optional>
#include <utility>

#include "fieldview/apply_edits.h"
#include "fieldview/field_ranges.h"
#include "fieldview/icon_block_fields.h"
#include "fieldview/number_text.h"
#include "formats/le_bytes.h"
#include "model/picture_index.h"

// The editable fields of the blocks of icon and cursor parts.
namespace delvix::fieldview {

namespace {

// The field behind an editable row, when `node` is the node the mode edits.
std::optional<BlockField> editableField(const model::Document& document, const model::Node& node, EditMode mode,
                                        std::size_t row) {
  const std::string& name = node.name();
  std::span<const BlockField> fields;
  switch (mode) {
    case EditMode::directoryEntry:
      if (!name.starts_with("icon_dir")) return std::nullopt;
      fields = directoryEntryFields(
          directoryEntryKindOf(node, document.kind == model::FileKind::module, /*cursorFile=*/false));
      break;
    case EditMode::frameHeader:
      if (name != "image_info") return std::nullopt;
      fields = frameHeaderFields();
      break;
    case EditMode::hotSpot:
      if (name != "hot_pot") return std::nullopt;
      fields = hotSpotFields();
      break;
    case EditMode::bitmapHeader:
      if (name != "bitm_info") return std::nullopt;
      fields = bitmapHeaderFieldsFor(node.block().size());
      break;
    default: return std::nullopt;
  }
  if (row >= fields.size() || fields[row].mark != Mark::editable) return std::nullopt;
  return fields[row];
}

// The entries the picture's "color_table" holds (u32 byte count, then 4 bytes an entry), 0 without one.
std::int64_t colourTableEntries(const model::Node& bitmapHeader) {
  const model::Node* picture = bitmapHeader.parent();
  const model::Node* table = picture ? picture->findChild("color_table") : nullptr;
  if (!table || table->block().size() < 4) return 0;
  const model::Block& block = table->block();
  const std::size_t stored = std::min<std::size_t>(formats::le32(block, 0), block.size() - 4);
  return static_cast<std::int64_t>(stored / 4);
}

// The colours used must be the whole table (0 says the same), or the picture would be read with another
// palette size than the one saved.
std::optional<std::string> colourCountRefusal(const model::Node& node, std::int64_t value) {
  const std::int64_t entries = colourTableEntries(node);
  if (value == 0 || value == entries) return std::nullopt;
  if (entries == 0) return "ClrUsed must be 0: the picture has no colour table.";
  return "ClrUsed must be 0 or " + std::to_string(entries) + ", the entries of the colour table.";
}

void store(model::Block& block, BlockField field, std::int64_t value) {
  switch (field.type) {
    case FieldType::u8: formats::setLe8(block, field.offset, static_cast<std::uint8_t>(value)); break;
    case FieldType::u16: formats::setLe16(block, field.offset, static_cast<std::uint16_t>(value)); break;
    default: formats::setLe32(block, field.offset, static_cast<std::uint32_t>(value)); break;
  }
}

}  // namespace

ApplyResult applyBlockField(model::Document& document, model::Node& node, EditMode mode, std::size_t row,
                            const std::string& text) {
  auto field = editableField(document, node, mode, row);
  // A block cut short by a damaged file has no field there to edit.
  if (!field || std::as_const(node).block().size() < field->offset + widthOf(field->type)) return {};
  const ValueRange range = rangeOf(field->type);
  auto value = numberInRange(text, range);
  if (!value) return refusedWith(notANumberMessage(text, range));
  const bool colourCount = mode == EditMode::bitmapHeader && field->caption == "ClrUsed";
  if (colourCount)
    if (auto refusal = colourCountRefusal(node, *value)) return refusedWith(*refusal);

  store(node.editBlock(), *field, *value);
  ApplyResult result;
  result.kind = ApplyResult::Kind::applied;
  result.changedRows.push_back(changedRow(document, node, row, range));
  // The decoder takes the palette's size from the colours used.
  if (colourCount) result.redrawnPicture = model::pictureIndexOf(node);
  return result;
}

}  // namespace delvix::fieldview
