#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "formats/file_save.h"
#include "formats/riff/byte_order.h"
#include "formats/riff/fourcc.h"
#include "model/node.h"

namespace delvix::formats::riff {

// Builds RIFF bytes. Every chunk's size field is set from what was actually written into it when the
// chunk is closed, and odd-sized chunks get their pad byte. Sizes are counted in 64 bits; one that a
// 32-bit field cannot hold is written as 0xFFFFFFFF, so a caller checks size() before saving.
class RiffWriter {
 public:
  // Sizes and numbers in the given order: big-endian for a "RIFX" file.
  explicit RiffWriter(ByteOrder order = ByteOrder::little) : order_(order) {}

  // Opens a chunk; for "RIFF" and "LIST" pass the form or list type.
  void open(FourCC id);
  void open(FourCC id, FourCC type);
  void close();
  // A whole chunk with the given data.
  void chunk(FourCC id, std::span<const std::uint8_t> data);
  // A whole chunk whose data is not copied: it is written from where it is, so it must outlive the output.
  void chunkInPlace(FourCC id, std::span<const std::uint8_t> data);

  void bytes(std::span<const std::uint8_t> data);
  // Bytes that are not copied but written from where they are, like chunkInPlace's data.
  void bytesInPlace(std::span<const std::uint8_t> data);
  void u16(std::uint16_t value);
  void u32(std::uint32_t value);

  std::size_t depth() const { return open_.size(); }
  // Bytes written so far, those left in place included.
  std::uint64_t size() const { return out_.size() + insetBytes_; }
  // The bytes, with every chunk still open closed.
  std::vector<std::uint8_t> finish();
  // The same as a file to save: the data left in place stays where it is, as insets.
  WrittenFile finishFile();

 private:
  struct OpenChunk {
    std::size_t sizeField;    // offset of the size field in out_
    std::uint64_t dataStart;  // size() right after the size field
  };

  // A four-character code: its characters in file order whatever the byte order.
  void code(FourCC value);

  ByteOrder order_;
  std::vector<std::uint8_t> out_;
  std::vector<Inset> insets_;
  std::uint64_t insetBytes_ = 0;
  std::vector<OpenChunk> open_;
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
