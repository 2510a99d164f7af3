#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "formats/byte_reader.h"

namespace delvix::formats {

// Random access to the bytes of a file that need not be in memory, for readers that look at a few
// places of a file that may be large (a module's resource directory, a wave file's chunk headers).
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t size() const = 0;
  // Up to `count` bytes from `offset`, cut where the source ends; empty at or past its end. The view
  // stays valid as long as the source does.
  virtual Bytes read(std::uint64_t offset, std::size_t count) = 0;
};

// Bytes already in memory; reads are views of them.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(Bytes bytes) : bytes_(bytes) {}
  std::uint64_t size() const override { return bytes_.size(); }
  Bytes read(std::uint64_t offset, std::size_t count) override {
    if (offset >= bytes_.size()) return {};
    return bytes_.subspan(static_cast<std::size_t>(offset),
                          static_cast<std::size_t>(std::min<std::uint64_t>(count, bytes_.size() - offset)));
  }
  Bytes bytes() const { return bytes_; }

 private:
  Bytes bytes_;
};

// A regular file read with pread, in blocks aligned to 4 KiB. Blocks stay until the source goes, so that
// views stay valid. At most `readLimit` bytes are read in all; a read that would pass it comes back empty,
// so that a hostile file cannot send a reader through all of itself.
class FileSource final : public ByteSource {
 public:
  static constexpr std::uint64_t defaultReadLimit = std::uint64_t{16} << 20;

  struct Opened {
    std::unique_ptr<FileSource> source;
    std::string error;  // why there is no source
  };
  // Opens `path` only when it is a regular file; a FIFO or a device is refused without waiting for it.
  static Opened open(const std::filesystem::path& path, std::uint64_t readLimit = defaultReadLimit);

  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;
  ~FileSource() override;

  std::uint64_t size() const override { return size_; }
  Bytes read(std::uint64_t offset, std::size_t count) override;
  // The bytes taken from the file so far.
  std::uint64_t bytesRead() const { return bytesRead_; }

 private:
  FileSource(int descriptor, std::uint64_t size, std::uint64_t readLimit)
      : descriptor_(descriptor), size_(size), readLimit_(readLimit) {}

  int descriptor_;
  std::uint64_t size_;
  std::uint64_t readLimit_;
  std::uint64_t bytesRead_ = 0;
  // Keyed by file offset; blocks may overlap, and none is ever replaced.
  std::multimap<std::uint64_t, std::vector<std::uint8_t>> blocks_;
};

}  // namespace delvix::formats
