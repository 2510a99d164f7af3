#include "fieldview/bitmap_header_rows.h"
#include "fieldview/table_builder.h"
#include "fieldview/tables.h"
#include "fieldview/value_text.h"
#include "formats/le_bytes.h"

namespace delvix::fieldview {

namespace {

Listing withRows(Listing listing, TableBuilder& table) {
  listing.columns = commonColumns();
  listing.rows = table.rows();
  return listing;
}

// The bytes of a "count bytes + rows" block (colour table: u32 at 0; rows: u32 at 4), cut to what is stored.
std::span<const std::uint8_t> storedPart(const model::Block& block, std::size_t sizeAt, std::size_t dataAt) {
  if (block.size() < dataAt) return {};
  const std::size_t declared = formats::le32(block, sizeAt);
  return std::span(block).subspan(dataAt, std::min(declared, block.size() - dataAt));
}

}  // namespace

namespace {

Listing listFields(const model::Node& node, std::span<const BlockField> fields, EditMode mode) {
  TableBuilder table(node.block());
  table.fields(fields);
  return withRows(clearedListing(mode), table);
}

}  // namespace

Listing listIconHeader(const model::Node& node) {
  return listFields(node, iconHeaderFields(), EditMode::headerOrInfoItem);
}

Listing listDirectoryEntry(const model::Node& node, const FileTraits& file) {
  return listFields(node, directoryEntryFields(directoryEntryKindOf(node, file.module, file.cursorFile)),
                    EditMode::directoryEntry);
}

Listing listBitmapHeader(const model::Node& node) {
  const model::Block& block = node.block();
  TableBuilder table(block);
  table.fields(bitmapHeaderFieldsFor(block.size()));
  addLongHeaderRows(table, block);
  return withRows(clearedListing(EditMode::bitmapHeader), table);
}

Listing listFrameHeader(const model::Node& node) {
  return listFields(node, frameHeaderFields(), EditMode::frameHeader);
}

Listing listHotSpot(const model::Node& node) { return listFields(node, hotSpotFields(), EditMode::hotSpot); }

Listing listColourTable(const model::Node& node, const FieldSettings& settings) {
  const bool shown = node.stateImage() == model::state::valuesShown;
  Listing listing = clearedListing(shown ? std::optional(EditMode::colourTable) : std::nullopt, false);
  listing.boxes = {{EditBox::editRes, "Reserved", {}, {}},
                   {EditBox::editR, "Red", {}, {}},
                   {EditBox::editG, "Green", {}, {}},
                   {EditBox::editB, "Blue", {}, {}}};
  if (node.stateImage() == model::state::valuesHidden) listing.columns = columns("", 90, "", 110);
  if (!shown) return listing;

  listing.columns = columns("Index", 90, "res R G B", 110);
  listing.swatches = true;
  auto entries = std::make_shared<const model::Block>(node.block());
  const std::size_t count = storedPart(*entries, 0, 4).size() / 4;
  const Mark mark = markOfSetting(settings.editTable);
  listing.rows = Rows(count, [entries, mark](std::size_t i) {
    const std::uint8_t* entry = entries->data() + 4 + 4 * i;  // blue, green, red, reserved
    Row row{std::to_string(i),
            std::to_string(entry[3]) + " " + std::to_string(entry[2]) + " " + std::to_string(entry[1]) + " " +
                std::to_string(entry[0]),
            {},
            mark,
            {},
            {}};
    row.swatch =
        Swatch{Swatch::Shape::square, std::uint32_t{entry[2]} << 16 | std::uint32_t{entry[1]} << 8 | entry[0], 0};
    return row;
  });
  return listing;
}

Listing listMask(const model::Node& node) {
  const int state = node.stateImage();
  if (state != model::state::valuesShown) {
    Listing listing =
        clearedListing(state == model::state::valuesHidden ? std::optional(EditMode::none) : std::nullopt, false);
    if (state == model::state::valuesHidden) listing.columns = columns("", 90, "", 110);
    return listing;
  }
  Listing listing = clearedListing(std::nullopt);
  listing.columns = columns("Bitmap byte", 90, "8 pixels", 110);
  auto block = std::make_shared<const model::Block>(node.block());
  const std::size_t count = storedPart(*block, 4, 8).size();
  listing.rows = Rows(count, [block](std::size_t i) {
    return Row{std::to_string(i + 1), hexByteText((*block)[8 + i]), {}, Mark::readOnly, {}, {}};
  });
  return listing;
}

}  // namespace delvix::fieldview
