#include "formats/scratch_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

namespace delvix::formats {

std::unique_ptr<ScratchFile> ScratchFile::create(const std::filesystem::path& folder) {
  const int descriptor = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (descriptor < 0) return nullptr;
  return std::unique_ptr<ScratchFile>(new ScratchFile(descriptor));
}

ScratchFile::~ScratchFile() {
  if (mapping_) ::munmap(mapping_, static_cast<std::size_t>(size_));
  ::close(descriptor_);
}

bool ScratchFile::append(std::span<const std::uint8_t> bytes) {
  if (mapping_) return false;
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(written));
    size_ += static_cast<std::uint64_t>(written);
  }
  return true;
}

std::optional<std::span<const std::uint8_t>> ScratchFile::mapped() {
  if (size_ == 0) return std::span<const std::uint8_t>{};
  if (size_ > std::numeric_limits<std::size_t>::max()) return std::nullopt;
  if (!mapping_) {
    void* raw = ::mmap(nullptr, static_cast<std::size_t>(size_), PROT_READ, MAP_SHARED, descriptor_, 0);
    if (raw == MAP_FAILED) return std::nullopt;
    mapping_ = raw;
  }
  return std::span(static_cast<const std::uint8_t*>(mapping_), static_cast<std::size_t>(size_));
}

}  // namespace delvix::formats
