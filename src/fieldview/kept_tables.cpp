#include <algorithm>
#include <array>

#include "fieldview/table_builder.h"
#include "fieldview/tables.h"
#include "formats/le_bytes.h"

// The nodes that keep parts of a file the program does not interpret, listed read-only.
namespace delvix::fieldview {

namespace {

constexpr Mark ro = Mark::readOnly;

Listing readOnlyListing(TableBuilder& table) {
  Listing listing = clearedListing(EditMode::none, false);
  listing.columns = commonColumns();
  listing.rows = table.rows();
  return listing;
}

// The bytes after a block's u32 length, cut to what is stored.
std::span<const std::uint8_t> keptBytes(const model::Block& block) {
  if (block.size() < 4) return {};
  return std::span(block).subspan(4, std::min<std::size_t>(formats::le32(block, 0), block.size() - 4));
}

std::uint32_t be32(std::span<const std::uint8_t> b, std::size_t at) {
  return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 | std::uint32_t{b[at + 2]} << 8 | b[at + 3];
}

}  // namespace

Listing listPngData(const model::Node& node) {
  TableBuilder table(node.block());
  table.u32("Size", 0, ro);
  // Signature (8), IHDR length (4), "IHDR", then width, height, bit depth, colour type, compression,
  // filter and interlace.
  std::span<const std::uint8_t> png = keptBytes(node.block());
  constexpr std::array<std::uint8_t, 4> ihdr{'I', 'H', 'D', 'R'};
  if (png.size() >= 29 && std::ranges::equal(png.subspan(12, 4), ihdr)) {
    table.add("Width", std::to_string(be32(png, 16)), ro);
    table.add("Height", std::to_string(be32(png, 20)), ro);
    table.add("Bit depth", std::to_string(png[24]), ro);
    table.add("Colour type", std::to_string(png[25]), ro);
    table.add("Interlace", std::to_string(png[28]), ro);
  }
  return readOnlyListing(table);
}

Listing listKeptBytes(const model::Node& node) {
  TableBuilder table(node.block());
  table.u32("Size", 0, ro);
  return readOnlyListing(table);
}

// A frame's images after its first: each a 16-byte directory entry (its size field giving the bytes kept)
// followed by its bytes.
Listing listMoreImages(const model::Node& node) {
  std::span<const std::uint8_t> kept = keptBytes(node.block());
  TableBuilder table;
  constexpr std::size_t entrySize = 16;
  std::size_t image = 2;
  for (std::size_t at = 0; at + entrySize <= kept.size(); ++image) {
    const unsigned width = kept[at] ? kept[at] : 256;
    const unsigned height = kept[at + 1] ? kept[at + 1] : 256;
    const std::uint32_t bytes = formats::le32(kept, at + 8);
    table.add("Image " + std::to_string(image),
              std::to_string(width) + "x" + std::to_string(height) + ", " + std::to_string(bytes) + " bytes", ro);
    at += entrySize + std::min<std::size_t>(bytes, kept.size() - at - entrySize);
  }
  return readOnlyListing(table);
}

// Named "chunk_" code, and for a LIST "_" type, both in printable form.
Listing listKeptChunk(const model::Node& node) {
  constexpr std::string_view prefix = "chunk_";
  constexpr std::string_view listPrefix = "LIST_";
  std::string_view code = std::string_view(node.name()).substr(prefix.size());
  std::string_view listType;
  if (code.starts_with(listPrefix)) {
    listType = code.substr(listPrefix.size());
    code = code.substr(0, 4);
  }
  TableBuilder table(node.block());
  table.add("Code", std::string(code), ro);
  table.u32("Size", 0, ro);
  if (!listType.empty()) table.add("LIST type", std::string(listType), ro);
  return readOnlyListing(table);
}

}  // namespace delvix::fieldview
