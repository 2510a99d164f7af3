#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "formats/riff/fourcc.h"
#include "model/node.h"

namespace delvix::formats::riff {

// Builds RIFF bytes. Every chunk's size field is set from what was actually written into it when the
// chunk is closed, and odd-sized chunks get their pad byte.
class RiffWriter {
 public:
  // Opens a chunk; for "RIFF" and "LIST" pass the form or list type.
  void open(FourCC id);
  void open(FourCC id, FourCC type);
  void close();
  // A whole chunk with the given data.
  void chunk(FourCC id, std::span<const std::uint8_t> data);

  void bytes(std::span<const std::uint8_t> data);
  void u16(std::uint16_t value);
  void u32(std::uint32_t value);

  std::size_t depth() const { return open_.size(); }
  // The bytes, with every chunk still open closed.
  std::vector<std::uint8_t> finish();

 private:
  std::vector<std::uint8_t> out_;
  std::vector<std::size_t> open_;  // offsets of the size fields of open chunks
};

// The chunk code that a kept chunk's node name stands for ("chunk_bext" -> "bext", "chunk_cue" -> "cue ",
// "chunk_LIST_adtl" -> "LIST", "chunk_\x01abc" -> "\x01abc").
std::optional<FourCC> keptChunkId(std::string_view nodeName);

// Writes every "chunk_" child of `parent` back as the chunk it was read from (u32 size + data blocks).
void writeKeptChunks(RiffWriter& writer, const model::Node& parent);

// Writes a LIST "INFO" with the INFO items under `listInfo` in the order of the item table, at most one
// per id, followed by the kept sub-chunks that are not in the table.
void writeInfoList(RiffWriter& writer, const model::Node& listInfo);

}  // namespace delvix::formats::riff
