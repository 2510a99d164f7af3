#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/byte_reader.h"
#include "formats/byte_source.h"

namespace delvix::formats::pe {

struct Section {
  std::uint32_t virtualAddress = 0;
  std::uint32_t virtualSize = 0;
  std::uint32_t rawOffset = 0;  // already rounded down the way the loader rounds it
  std::uint32_t rawSize = 0;
};

// The headers of a program module (PE32 or PE32+), parsed from its bytes and never mapped or run. Only the
// parts asked for are read: from a FileSource, the headers and what the resource lookups need, never the
// whole module.
class PeImage {
 public:
  // Nullopt when `file` is not a module: no "MZ", no "PE\0\0", or an optional header of an unknown kind.
  static std::optional<PeImage> parse(Bytes file);
  static std::optional<PeImage> parse(std::shared_ptr<ByteSource> source);
  // The same, with what is missing or damaged, and where, when `file` is not a module, as a sentence ("The PE
  // header offset 0x... (at byte 0x3C) lies beyond the end of the file (... bytes).").
  static std::optional<PeImage> parse(Bytes file, std::string& whyNot);
  static std::optional<PeImage> parse(std::shared_ptr<ByteSource> source, std::string& whyNot);

  // The whole file when the image was parsed from bytes in memory; empty when it reads from another source.
  Bytes file() const { return memory_; }
  std::uint64_t fileSize() const { return source_->size(); }
  bool is64Bit() const { return is64Bit_; }
  const std::vector<Section>& sections() const { return sections_; }
  std::uint32_t resourceRva() const { return resourceRva_; }
  std::uint32_t resourceSize() const { return resourceSize_; }
  // The size of the certificate table (an Authenticode signature); 0 when the module is not signed.
  std::uint32_t certificateSize() const { return certificateSize_; }
  // What was odd about the headers, for the message log.
  const std::vector<std::string>& warnings() const { return warnings_; }

  // The file offset of an RVA, when the byte there is stored in the file.
  std::optional<std::size_t> offsetOf(std::uint32_t rva) const;
  // Up to `size` bytes at `rva`: cut where the section's stored data or the file ends.
  // Nullopt when the RVA itself is not stored in the file.
  std::optional<Bytes> bytesAt(std::uint32_t rva, std::uint32_t size) const;

 private:
  static std::optional<PeImage> parseHeaders(std::shared_ptr<ByteSource> source, std::string& whyNot);

  std::shared_ptr<ByteSource> source_;
  Bytes memory_;
  bool is64Bit_ = false;
  std::uint32_t sizeOfHeaders_ = 0;
  std::vector<Section> sections_;
  std::uint32_t resourceRva_ = 0;
  std::uint32_t resourceSize_ = 0;
  std::uint32_t certificateSize_ = 0;
  std::vector<std::string> warnings_;
};

}  // namespace delvix::formats::pe
