#include "fieldview/table_builder.h"
#include "fieldview/tables.h"
#include "fieldview/value_text.h"
#include "formats/le_bytes.h"

namespace delvix::fieldview {

namespace {

constexpr Mark ro = Mark::readOnly;
constexpr Mark rw = Mark::editable;

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

bool isCursorGroupEntry(const model::Node& entry) {
  const model::Node* header = entry.parent();
  return header && header->block().size() >= 4 && formats::le16(header->block(), 2) == 2;
}

}  // namespace

Listing listIconHeader(const model::Node& node) {
  TableBuilder table(node.block());
  table.u16("Reserve", 0, ro);
  table.u16("Type", 2, ro);
  table.u16("Count", 4, ro);
  return withRows(clearedListing(EditMode::headerOrInfoItem), table);
}

Listing listDirectoryEntry(const model::Node& node, const FileTraits& file) {
  TableBuilder table(node.block());
  if (file.module && isCursorGroupEntry(node)) {
    // A module's cursor group stores the size as two u16 values where an icon entry has four bytes.
    table.u16("Width", 0, ro);
    table.u16("Height", 2, ro);
  } else {
    table.u8("Width", 0, ro);
    table.u8("Height", 1, ro);
    table.u8("ColorCount", 2, ro);
    table.u8("Reserve", 3, rw);
  }
  table.u16(file.cursorFile ? "HotPot X" : "Planes", 4, rw);
  table.u16(file.cursorFile ? "HotPot Y" : "BitCount", 6, rw);
  table.u32("BytesInRes", 8, ro);
  if (file.module)
    table.u16("ID", 12, ro);
  else
    table.u32("ImageOffset", 12, ro);
  return withRows(clearedListing(EditMode::directoryEntry), table);
}

Listing listBitmapHeader(const model::Node& node) {
  TableBuilder table(node.block());
  table.u32("Size", 0, ro);
  table.s32("Width", 4, ro);
  table.s32("Height", 8, ro);
  table.u16("Planes", 12, ro);
  table.u16("BitCount", 14, ro);
  table.u32("Compression", 16, ro);
  table.u32("SizeImage", 20, ro);
  table.s32("XPelsPerMeter", 24, rw);
  table.s32("YPelsPerMeter", 28, rw);
  table.u32("ClrUsed", 32, rw);
  table.u32("ClrImportant", 36, rw);
  return withRows(clearedListing(EditMode::bitmapHeader), table);
}

Listing listFrameHeader(const model::Node& node) {
  TableBuilder table(node.block());
  table.u16("Reserve1", 0, ro);
  table.u16("Type", 2, ro);
  table.u16("Count", 4, ro);
  table.u8("Width", 6, ro);
  table.u8("Height", 7, ro);
  table.u8("ColorCount", 8, ro);
  table.u8("Reserve2", 9, rw);
  table.u16("HotPot X", 10, rw);
  table.u16("HotPot Y", 12, rw);
  table.u32("BytesInRes", 14, ro);
  table.u32("ImageOffset", 18, ro);
  return withRows(clearedListing(EditMode::frameHeader), table);
}

Listing listHotSpot(const model::Node& node) {
  TableBuilder table(node.block());
  table.u16("X", 0, rw);
  table.u16("Y", 2, rw);
  return withRows(clearedListing(EditMode::hotSpot), table);
}

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
