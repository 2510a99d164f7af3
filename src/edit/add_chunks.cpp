#include "edit/add_chunks.h"

namespace delvix::edit {

const std::array<std::pair<const char*, const char*>, 10>& offeredInfoItems() {
  static const std::array<std::pair<const char*, const char*>, 10> items{{{"INAM", "Name (INAM)"},
                                                                          {"IART", "Artist (IART)"},
                                                                          {"ICRD", "Date (ICRD)"},
                                                                          {"IENG", "Engineer (IENG)"},
                                                                          {"ISFT", "Software (ISFT)"},
                                                                          {"ICOP", "Copyright (ICOP)"},
                                                                          {"IPRD", "Product (IPRD)"},
                                                                          {"ISRC", "Source (ISRC)"},
                                                                          {"ICMT", "Comments (ICMT)"},
                                                                          {"ISBJ", "Subject (ISBJ)"}}};
  return items;
}

ChunkOffer chunkOffer(const model::Document&) { return {}; }
Addition addChunks(model::Document&, const ChunkAdditions&) { return {}; }
std::optional<std::uint32_t> factValueOf(const model::WaveState&) { return std::nullopt; }

}  // namespace delvix::edit
