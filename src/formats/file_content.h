#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace delvix::formats {

// The whole content of a regular file in memory, read once. Large files sit in memory that the
// system may back with huge pages, and nothing is zeroed before the read, so taking in a big file
// costs little more than reading it.
class FileContent {
 public:
  // Nothing but a regular file is read (see openRegularFile); `whyNot`, when given, gets the reason otherwise.
  static std::optional<FileContent> read(const std::filesystem::path& path, std::string* whyNot = nullptr);
  // Everything that comes from `descriptor` (a pipe, standard input) until its end, up to `limit` bytes:
  // more than that is refused with the reason.
  static std::optional<FileContent> readStream(int descriptor, std::size_t limit, std::string* whyNot = nullptr);

  std::span<const std::uint8_t> bytes() const { return {data_.get(), size_}; }
  operator std::span<const std::uint8_t>() const { return bytes(); }
  std::size_t size() const { return size_; }

 private:
  // Large contents are mappings of their own (length > 0), small ones come from the heap.
  struct Free {
    std::size_t mappedLength;
    void operator()(std::uint8_t* p) const;
  };
  static std::optional<FileContent> withCapacity(std::size_t capacity);

  std::unique_ptr<std::uint8_t[], Free> data_;
  std::size_t size_ = 0;
};

}  // namespace delvix::formats
