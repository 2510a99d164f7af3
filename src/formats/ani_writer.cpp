#include "formats/ani_writer.h"

#include <algorithm>
#include <vector>

#include "formats/icon_image_writer.h"
#include "formats/le_bytes.h"
#include "formats/riff/chunk_order.h"
#include "formats/riff/riff_writer.h"
#include "model/info_items.h"
#include "model/picture_index.h"

namespace delvix::formats {

namespace {

using riff::fourccFromString;

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

void writeSequence(riff::RiffWriter& writer, const model::AniState& ani) {
  writer.open(fourccFromString("seq "));
  for (std::uint32_t frame : ani.sequence) writer.u32(frame);
  writer.bytes(ani.sequenceTail);
  writer.close();
}

// The top-level nodes that stand for chunks, in their usual order. A new INFO list thus follows "anih",
// which readers such as gdk-pixbuf need first.
std::optional<std::size_t> usualChunkRank(std::string_view name) {
  constexpr std::string_view usualOrder[] = {"ani_header", "List_info", "time", "sequence", "List_images"};
  auto found = std::find(std::begin(usualOrder), std::end(usualOrder), name);
  if (found != std::end(usualOrder)) return static_cast<std::size_t>(found - std::begin(usualOrder));
  if (riff::keptChunkId(name)) return riff::keptAtTheEnd;
  return std::nullopt;
}

// INFO items in the order of the item table; sub-chunks kept without interpretation after them.
std::optional<std::size_t> usualInfoRank(std::string_view name) {
  if (auto position = model::infoPositionByDescription(name)) return position;
  if (riff::keptChunkId(name)) return riff::keptAtTheEnd;
  return std::nullopt;
}

void writeInfoList(riff::RiffWriter& writer, const model::Node& listInfo, const std::vector<std::string>& fileOrder) {
  writer.open(fourccFromString("LIST"), fourccFromString("INFO"));
  for (const model::Node* item : riff::inFileOrder(listInfo, fileOrder, usualInfoRank)) {
    auto position = model::infoPositionByDescription(item->name());
    auto id = position ? fourccFromString(model::infoItems()[*position].id) : riff::keptChunkId(item->name());
    if (id) writer.chunk(*id, blockData(item->block(), 4));
  }
  writer.close();
}

// What the file written holds, which its header and tables must agree with: the frames of the frame list,
// and one step a sequence entry when a "seq " chunk is written, one a frame otherwise.
struct WrittenCounts {
  std::uint32_t frames = 0;
  std::uint32_t steps = 0;
  bool sequence = false;
};

WrittenCounts writtenCounts(const model::Node& root, const model::AniState& ani) {
  WrittenCounts counts;
  if (const model::Node* frames = root.findChild("List_images"))
    for (const auto& child : frames->children())
      if (model::pictureNumber(child->name())) ++counts.frames;
  counts.sequence = root.findChild("sequence") != nullptr;
  counts.steps = counts.sequence ? static_cast<std::uint32_t>(ani.sequence.size()) : counts.frames;
  return counts;
}

void writeHeader(riff::RiffWriter& writer, const model::AniState& ani, const WrittenCounts& counts) {
  writer.open(fourccFromString("anih"));
  const model::AniHeader& h = ani.header;
  const std::uint32_t attributes =
      counts.sequence ? h.attributes | model::aniSequenceFlag : h.attributes & ~model::aniSequenceFlag;
  for (std::uint32_t field :
       {h.cbSize, counts.frames, counts.steps, h.width, h.height, h.bitCount, h.planes, h.displayRate, attributes})
    writer.u32(field);
  writer.bytes(ani.headerTail);
  writer.close();
}

// One rate a step: entries the table lacks are the display rate, for which the player shows such steps;
// entries beyond the steps belong to no step and are left out.
void writeRates(riff::RiffWriter& writer, const model::AniState& ani, std::size_t count) {
  writer.open(fourccFromString("rate"));
  for (std::size_t entry = 0; entry < count; ++entry)
    writer.u32(entry < ani.rates.size() ? ani.rates[entry] : ani.header.displayRate);
  writer.bytes(ani.rateTail);
  writer.close();
}

bool writeFrameList(riff::RiffWriter& writer, const model::Node& frames) {
  writer.open(fourccFromString("LIST"), fourccFromString("fram"));
  bool complete = true;
  for (const auto& child : frames.children()) {
    if (!model::pictureNumber(child->name())) continue;
    if (!writeFrame(writer, *child)) {
      complete = false;
      break;
    }
  }
  writer.close();
  return complete;
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
  const WrittenCounts counts = writtenCounts(*root, ani);
  riff::RiffWriter writer;
  writer.open(fourccFromString("RIFF"), fourccFromString("ACON"));
  if (!root->findChild("ani_header")) writeHeader(writer, ani, counts);
  for (const model::Node* chunk : riff::inFileOrder(*root, ani.chunkOrder, usualChunkRank)) {
    const std::string& name = chunk->name();
    if (name == "ani_header") {
      writeHeader(writer, ani, counts);
    } else if (name == "List_info") {
      writeInfoList(writer, *chunk, ani.infoOrder);
    } else if (name == "time") {
      writeRates(writer, ani, counts.steps);
    } else if (name == "sequence") {
      writeSequence(writer, ani);
    } else if (name == "List_images") {
      // What follows a broken frame list is left out, as when writing stops at a failure.
      if (!writeFrameList(writer, *chunk)) {
        file.complete = false;
        break;
      }
    } else if (auto id = riff::keptChunkId(name)) {
      writer.chunk(*id, blockData(chunk->block(), 4));
    }
  }
  file.bytes = writer.finish();
  return file;
}

bool saveAniFile(const model::Document& document, const std::filesystem::path& target, Reporter& reporter) {
  return deliverFile(target, writeAniFile(document), "Could not open this file.", reporter);
}

}  // namespace delvix::formats
