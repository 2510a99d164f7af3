#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>

namespace delvix::formats {

// The whole content of a regular file in memory, read once. Large files sit in memory that the
// system may back with huge pages, and nothing is zeroed before the read, so taking in a big file
// costs little more than reading it.
class FileContent {
 public:
  static std::optional<FileContent> read(const std::filesystem::path& path);

  std::span<const std::uint8_t> bytes() const { return {data_.get(), size_}; }
  operator std::span<const std::uint8_t>() const { return bytes(); }
  std::size_t size() const { return size_; }

 private:
  // Large contents are mappings of their own (length > 0), small ones come from the heap.
  struct Free {
    std::size_t mappedLength;
    void operator()(std::uint8_t* p) const;
  };
  std::unique_ptr<std::uint8_t[], Free> data_;
  std::size_t size_ = 0;
};

}  // namespace delvix::formats
