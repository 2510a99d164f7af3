#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>

namespace delvix::formats {

// An unnamed file in a folder, written piece by piece and then mapped for reading: room for data that is made
// in passes (one channel of a long sound) without holding it all in memory. The file is gone when this is.
class ScratchFile {
 public:
  // Null when the system cannot make one in `folder`.
  static std::unique_ptr<ScratchFile> create(const std::filesystem::path& folder);
  ~ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // False when not all of it could be written (a full disk).
  bool append(std::span<const std::uint8_t> bytes);
  // Everything written, mapped read-only; nullopt when it cannot be mapped. Nothing may be appended after.
  std::optional<std::span<const std::uint8_t>> mapped();

 private:
  explicit ScratchFile(int descriptor) : descriptor_(descriptor) {}

  int descriptor_;
  std::uint64_t size_ = 0;
  void* mapping_ = nullptr;
};

}  // namespace delvix::formats
