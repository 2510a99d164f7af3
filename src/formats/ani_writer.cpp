#include "formats/ani_writer.h"

#include <algorithm>
#include <vector>

#include "formats/icon_image_writer.h"
#include "formats/le_bytes.h"
#include "formats/riff/riff_writer.h"
#include "model/picture_index.h"

namespace delvix::formats {

namespace {

using riff::fourccFromString;

void writeTable(riff::RiffWriter& writer, std::string_view id, const std::vector<std::uint32_t>& values,
                const std::vector<std::uint8_t>& tail) {
  writer.open(fourccFromString(id));
  for (std::uint32_t value : values) writer.u32(value);
  writer.bytes(tail);
  writer.close();
}

// The further images a frame keeps: each a 16-byte directory entry whose size field counts the bytes
// that follow it.
struct FurtherImage {
  std::span<const std::uint8_t> entry;
  std::span<const std::uint8_t> bytes;
};

std::vector<FurtherImage> furtherImagesOf(const model::Node& picture) {
  std::vector<FurtherImage> images;
  const model::Node* kept = picture.findChild("more_images");
  if (!kept) return images;
  std::span<const std::uint8_t> rest = blockData(kept->block(), 4);
  while (rest.size() >= 16) {
    const std::size_t size = std::min<std::size_t>(le32(rest, 8), rest.size() - 16);
    images.push_back({rest.first(16), rest.subspan(16, size)});
    rest = rest.subspan(16 + size);
  }
  return images;
}

// A frame's icon: its icon header and first directory entry from "image_info" with the first image, then
// the further images it holds, each directory offset worked out anew.
bool writeFrame(riff::RiffWriter& writer, const model::Node& picture) {
  const model::Node* info = picture.findChild("image_info");
  auto record = iconImageRecord(picture);
  if (!info || info->block().size() < 22 || !record) return false;
  const model::Block& head = info->block();
  const std::vector<FurtherImage> further = furtherImagesOf(picture);
  const auto count = static_cast<std::uint16_t>(1 + further.size());
  std::uint32_t offset = 6 + 16u * count;
  writer.open(fourccFromString("icon"));
  writer.u16(le16(head, 0));
  writer.u16(le16(head, 2));
  writer.u16(count);
  writer.bytes(std::span(head).subspan(6, 8));
  writer.u32(static_cast<std::uint32_t>(record->size()));
  writer.u32(offset);
  offset += static_cast<std::uint32_t>(record->size());
  for (const FurtherImage& image : further) {
    writer.bytes(image.entry.first(8));
    writer.u32(static_cast<std::uint32_t>(image.bytes.size()));
    writer.u32(offset);
    offset += static_cast<std::uint32_t>(image.bytes.size());
  }
  writer.bytes(*record);
  for (const FurtherImage& image : further) writer.bytes(image.bytes);
  writer.close();
  return true;
}

}  // namespace

WrittenFile writeAniFile(const model::Document& document) {
  WrittenFile file;
  const model::Node* root = document.tree.findFirst("RIFF_ACON");
  if (!root) {
    file.complete = false;
    return file;
  }
  const model::AniState& ani = document.ani;
  riff::RiffWriter writer;
  writer.open(fourccFromString("RIFF"), fourccFromString("ACON"));
  if (const model::Node* info = root->findChild("List_info")) riff::writeInfoList(writer, *info);

  writer.open(fourccFromString("anih"));
  const model::AniHeader& h = ani.header;
  for (std::uint32_t field :
       {h.cbSize, h.frames, h.steps, h.width, h.height, h.bitCount, h.planes, h.displayRate, h.attributes})
    writer.u32(field);
  writer.bytes(ani.headerTail);
  writer.close();

  if (root->findChild("time")) writeTable(writer, "rate", ani.rates, ani.rateTail);
  if (root->findChild("sequence")) writeTable(writer, "seq ", ani.sequence, ani.sequenceTail);

  if (const model::Node* frames = root->findChild("List_images")) {
    writer.open(fourccFromString("LIST"), fourccFromString("fram"));
    for (const auto& child : frames->children()) {
      if (!model::pictureNumber(child->name())) continue;
      if (!writeFrame(writer, *child)) {
        file.complete = false;
        break;
      }
    }
    writer.close();
  }
  if (file.complete) riff::writeKeptChunks(writer, *root);
  file.bytes = writer.finish();
  return file;
}

bool saveAniFile(const model::Document& document, const std::filesystem::path& target, Reporter& reporter) {
  return deliverFile(target, writeAniFile(document), "Could not open this file.", reporter);
}

}  // namespace delvix::formats
