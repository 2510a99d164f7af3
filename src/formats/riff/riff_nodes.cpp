#include "formats/riff/riff_nodes.h"

#include "formats/le_bytes.h"
#include "model/info_items.h"

namespace delvix::formats::riff {

namespace {

model::Block sizedBlockOf(Bytes data) {
  model::Block block(4 + data.size());
  setLe32(block, 0, static_cast<std::uint32_t>(data.size()));
  std::copy(data.begin(), data.end(), block.begin() + 4);
  return block;
}

}  // namespace

model::Block sizedBlock(Navigator& navigator, const Chunk& chunk) {
  return sizedBlockOf(navigator.bytesAt(chunk.dataOffset, chunk.size));
}

model::Block sizedBlock(Bytes file, const Chunk& chunk) {
  return sizedBlockOf(chunk.dataOffset < file.size()
                          ? file.subspan(chunk.dataOffset).first(std::min(chunk.size, file.size() - chunk.dataOffset))
                          : Bytes{});
}

std::string keptChunkName(const Chunk& chunk) {
  std::string code = printableFourcc(chunk.id);
  // Four spaces print as nothing: one written as an escape names the chunk, so that a save writes it back.
  if (code.empty()) code = "\\x20";
  std::string name = "chunk_" + code;
  if (chunk.id == listId && chunk.size >= 4) name += "_" + printableFourcc(chunk.type);
  return name;
}

void addInfoItems(Navigator& navigator, const Chunk& list, model::Node& listInfo) {
  const std::size_t firstItem = list.dataOffset + 4;
  for (const model::InfoItem& item : model::infoItems()) {
    navigator.seek(firstItem);
    Chunk found;
    if (navigator.descendChunk(found, list, fourccFromString(item.id)) != code::ok) continue;
    listInfo.addChild(std::string(item.description), sizedBlock(navigator, found), model::state::infoItem);
    navigator.ascend(found);
  }

  std::set<FourCC> shown;
  for (const Chunk& chunk : navigator.children(list)) {
    const bool inTable = model::infoPositionById(fourccText(chunk.id)).has_value();
    if (inTable && shown.insert(chunk.id).second) continue;
    listInfo.addChild(keptChunkName(chunk), sizedBlock(navigator, chunk), model::state::none);
  }
}

void addUninterpretedChunks(Navigator& navigator, const Chunk& form, const std::set<std::size_t>& interpreted,
                            model::Node& parent) {
  for (const Chunk& chunk : navigator.children(form)) {
    if (interpreted.count(chunk.dataOffset)) continue;
    parent.addChild(keptChunkName(chunk), sizedBlock(navigator, chunk), model::state::none);
  }
}

}  // namespace delvix::formats::riff
