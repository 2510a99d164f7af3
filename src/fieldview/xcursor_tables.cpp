// The tables of an X cursor file's nodes, and Apply on them.
#include <array>
#include <sstream>

#include "fieldview/apply_edits.h"
#include "fieldview/number_text.h"
#include "fieldview/table_builder.h"
#include "fieldview/tables.h"
#include "formats/le_bytes.h"
#include "formats/xcursor/xcursor_document.h"
#include "model/picture_index.h"

namespace delvix::fieldview {

namespace {

namespace xc = formats::xcursor;
constexpr Mark ro = Mark::readOnly;
constexpr Mark ed = Mark::editable;

struct ImageRow {
  const char* caption;
  std::size_t offset;
  Mark mark;
};
// The image header's rows; width and height stay as they are, since the pixels follow from them.
constexpr std::array<ImageRow, 8> imageRows{{{"Header size", 0, ro},
                                             {"Nominal size", xc::imageField::nominalSize, ed},
                                             {"Version", xc::imageField::version, ro},
                                             {"Width", xc::imageField::width, ro},
                                             {"Height", xc::imageField::height, ro},
                                             {"X hot spot", xc::imageField::xHot, ed},
                                             {"Y hot spot", xc::imageField::yHot, ed},
                                             {"Delay (ms)", xc::imageField::delay, ed}}};

std::string hex(std::uint32_t value) {
  std::ostringstream out;
  out << "0x" << std::uppercase << std::hex << value;
  return out.str();
}

// What an editable row takes: a hot spot lies within the picture (libXcursor refuses one beyond it), a
// nominal size is at least 1.
ValueRange rangeOf(const model::Block& block, std::size_t offset) {
  auto side = [&](std::size_t at) { return static_cast<std::int64_t>(formats::le32(block, at)); };
  if (offset == xc::imageField::xHot) return {0, side(xc::imageField::width)};
  if (offset == xc::imageField::yHot) return {0, side(xc::imageField::height)};
  if (offset == xc::imageField::nominalSize) return {1, ranges::u32.max};
  return ranges::u32;
}

Listing readOnly(TableBuilder& table) {
  Listing listing = clearedListing(EditMode::none, false);
  listing.columns = commonColumns();
  listing.rows = table.rows();
  listing.buttons.removeChunk = false;
  return listing;
}

Listing listHeader(const model::Node& node) {
  TableBuilder table(node.block());
  table.add("Magic", "Xcur", ro);
  table.u32("Header size", 4, ro);
  table.add("Version", node.block().size() >= 12 ? hex(formats::le32(node.block(), 8)) : "", ro);
  table.u32("Chunks", 12, ro);
  return readOnly(table);
}

Listing listTable(const model::Node& node) {
  const model::Block& block = node.block();
  TableBuilder table(block);
  for (std::size_t at = 0; at + xc::tocEntrySize <= block.size(); at += xc::tocEntrySize) {
    const std::uint32_t type = formats::le32(block, at);
    const char* kind = type == xc::imageType ? "image" : type == xc::commentType ? "comment" : "other";
    table.add("Chunk " + std::to_string(at / xc::tocEntrySize + 1),
              std::string(kind) + " " + std::to_string(formats::le32(block, at + 4)) + " at " +
                  hex(formats::le32(block, at + 8)),
              ro);
  }
  Listing listing = readOnly(table);
  listing.columns = columns("Entry", 120, "Type, subtype, position", 200);
  return listing;
}

Listing listImage(const model::Document& document, const model::Node& node) {
  const model::Block& block = node.block();
  TableBuilder table(block);
  for (const ImageRow& row : imageRows) {
    if (row.offset + 4 > block.size()) break;
    table.add(row.caption, std::to_string(formats::le32(block, row.offset)), row.mark,
              row.mark == ed ? std::optional(rangeOf(block, row.offset)) : std::nullopt);
  }
  Listing listing = clearedListing(EditMode::xcursorImage);
  listing.columns = commonColumns();
  listing.rows = table.rows();
  listing.buttons.apply = true;
  listing.buttons.removeChunk = false;
  if (auto number = model::pictureNumber(node.name());
      number && *number >= 1 && static_cast<std::size_t>(*number) <= document.pictures.size())
    listing.pictureToSelect = *number - 1;
  listing.resetsPlayerStep = true;
  return listing;
}

// A comment's text in `EditInfo`, ready to be applied, with its kind above it.
Listing listComment(const model::Node& node) {
  const model::Block& block = node.block();
  const std::size_t headerSize =
      block.size() >= xc::commentHeaderSize ? std::min<std::size_t>(formats::le32(block, 0), block.size()) : 0;
  const std::string text(block.begin() + static_cast<std::ptrdiff_t>(headerSize), block.end());
  Listing listing = clearedListing(EditMode::headerOrInfoItem, false);
  TableBuilder table(block);
  const std::uint32_t kind = block.size() >= 12 ? formats::le32(block, xc::commentField::kind) : 0;
  table.add("Kind", kind == 1 ? "copyright" : kind == 2 ? "license" : kind == 3 ? "other" : std::to_string(kind), ro);
  table.u32("Length", xc::commentField::length, ro);
  listing.columns = commonColumns();
  listing.rows = table.rows();
  listing.boxes.push_back({EditBox::editInfo, text, {}, text});
  listing.buttons.apply = headerSize >= xc::commentHeaderSize;
  listing.buttons.removeChunk = false;
  return listing;
}

}  // namespace

std::optional<Listing> listXcursorNode(const model::Document& document, const model::Node& node) {
  const std::string& name = node.name();
  if (name == xc::headerNode) return listHeader(node);
  if (name == xc::tableNode) return listTable(node);
  if (document.tree.isTopLevel(node) && model::pictureNumber(name)) return listImage(document, node);
  if (name.starts_with(xc::commentPrefix)) return listComment(node);
  if (name == xc::pixelsNode || name == xc::gapNode || name == "trailing_data" || name.starts_with(xc::keptPrefix)) {
    TableBuilder table;
    table.add("Size", std::to_string(node.block().size()), ro);
    Listing listing = readOnly(table);
    if (auto index = model::pictureIndexOf(node);
        index && *index >= 0 && static_cast<std::size_t>(*index) < document.pictures.size())
      listing.pictureToSelect = index;
    return listing;
  }
  return std::nullopt;
}

ApplyResult applyXcursorImage(model::Document& document, model::Node& node, std::size_t row, const std::string& text) {
  if (document.kind != model::FileKind::xcursor || !model::pictureNumber(node.name()) || row >= imageRows.size() ||
      imageRows[row].mark != ed || node.block().size() < xc::imageHeaderSize)
    return {};
  const std::size_t offset = imageRows[row].offset;
  const ValueRange range = rangeOf(node.block(), offset);
  const auto value = numberInRange(text, range);
  if (!value) return refusedWith(notANumberMessage(text, range));
  std::array<std::uint8_t, 4> bytes{};
  formats::setLe32(bytes, 0, static_cast<std::uint32_t>(*value));
  node.writeBytes(offset, bytes);
  ApplyResult result;
  result.kind = ApplyResult::Kind::applied;
  if (offset == xc::imageField::nominalSize) {
    // libXcursor picks sizes by the table of contents: its entry changes with the chunk.
    model::Node* table = document.tree.findFirst(xc::tableNode);
    const auto chunk = xc::chunkIndexOf(document, node);
    if (table && chunk && (*chunk + 1) * xc::tocEntrySize <= table->block().size())
      table->writeBytes(*chunk * xc::tocEntrySize + 4, bytes);
  }
  result.delaysChanged = offset == xc::imageField::delay || offset == xc::imageField::nominalSize;
  result.changedRows.push_back(changedRow(document, node, row, range));
  result.redrawnPicture = *model::pictureNumber(node.name()) - 1;
  return result;
}

ApplyResult applyXcursorComment(model::Document& document, model::Node& node, const std::string& text) {
  const model::Block& block = node.block();
  if (document.kind != model::FileKind::xcursor || !node.name().starts_with(xc::commentPrefix) ||
      block.size() < xc::commentHeaderSize)
    return {};
  const std::size_t headerSize = formats::le32(block, 0);
  if (headerSize < xc::commentHeaderSize || headerSize > block.size()) return {};
  if (text.size() > 0xFFFFFFFFu - headerSize) return refusedWith("This text is too long for a comment.");
  model::Block changed(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(headerSize));
  formats::setLe32(changed, xc::commentField::length, static_cast<std::uint32_t>(text.size()));
  changed.insert(changed.end(), text.begin(), text.end());
  node.setBlock(std::move(changed));
  ApplyResult result;
  result.kind = ApplyResult::Kind::applied;
  result.relist = true;
  return result;
}

}  // namespace delvix::fieldview
