#include "formats/icon_image_writer.h"

#include "formats/icon_image_reader.h"
#include "formats/le_bytes.h"

namespace delvix::formats {

namespace {

void append(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

// The data of a block whose head ends in a u32 size at `sizeOffset`; the size is trusted only as far
// as the block reaches.
std::span<const std::uint8_t> sizedData(const model::Block& block, std::size_t sizeOffset) {
  std::size_t head = sizeOffset + 4;
  if (block.size() < head) return {};
  std::size_t size = std::min<std::size_t>(le32(block, sizeOffset), block.size() - head);
  return std::span(block).subspan(head, size);
}

}  // namespace

std::span<const std::uint8_t> blockData(const model::Block& block, std::size_t headSize) {
  return sizedData(block, headSize - 4);
}

std::optional<std::vector<std::uint8_t>> iconImageRecord(const model::Node& picture) {
  std::vector<std::uint8_t> out;
  if (const model::Node* png = picture.findChild("png_data")) {
    append(out, blockData(png->block(), 4));
    return out;
  }
  const model::Node* info = picture.findChild("bitm_info");
  if (!info || info->block().size() < bitmapInfoSize) return std::nullopt;
  append(out, info->block());
  // A long header cut short by the end of the file is all the image there was.
  if (le32(info->block(), 0) > info->block().size() && info->block().size() > bitmapInfoSize) return out;
  if (const model::Node* kept = picture.findChild(undecodedImageNode)) {
    append(out, blockData(kept->block(), 4));
    return out;
  }
  const model::Node* colour = picture.findChild("color_bitmap");
  const model::Node* mask = picture.findChild("mask_bitmap");
  if (!colour || !mask) return std::nullopt;
  if (le16(info->block(), 14) < 16) {
    const model::Node* table = picture.findChild("color_table");
    if (!table) return std::nullopt;
    append(out, blockData(table->block(), 4));
  }
  append(out, blockData(colour->block(), 8));
  append(out, blockData(mask->block(), 8));
  return out;
}

}  // namespace delvix::formats
