#include "formats/file_content.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace delvix::formats {

namespace {

constexpr std::size_t hugePage = std::size_t{2} << 20;

struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

// Anonymous memory of whole huge pages, aligned to them so that the system can back it with them: far
// fewer page faults while a large file comes in. Null when the memory is not there.
std::uint8_t* mapHugePageAligned(std::size_t length) {
  const std::size_t mapped = length + hugePage;
  void* raw = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + hugePage - 1) & ~(std::uintptr_t{hugePage} - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  if (const std::size_t tail = start + mapped - (aligned + length); tail > 0)
    ::munmap(reinterpret_cast<void*>(aligned + length), tail);
  auto* memory = reinterpret_cast<std::uint8_t*>(aligned);
  ::madvise(memory, length, MADV_HUGEPAGE);
  return memory;
}

}  // namespace

void FileContent::Free::operator()(std::uint8_t* p) const {
  if (mappedLength != 0)
    ::munmap(p, mappedLength);
  else
    std::free(p);
}

std::optional<FileContent> FileContent::read(const std::filesystem::path& path) {
  Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) return std::nullopt;
  const auto size = static_cast<std::size_t>(info.st_size);

  FileContent content;
  const std::size_t capacity = size == 0 ? 1 : size;
  if (capacity >= hugePage / 8) {
    const std::size_t length = (capacity + hugePage - 1) / hugePage * hugePage;
    auto* memory = mapHugePageAligned(length);
    if (!memory) return std::nullopt;
    content.data_ = {memory, Free{length}};
  } else {
    void* memory = std::malloc(capacity);
    if (!memory) return std::nullopt;
    content.data_ = {static_cast<std::uint8_t*>(memory), Free{0}};
  }

  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::read(file.fd, content.data_.get() + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;  // the file shrank while it was read: keep what arrived
    done += static_cast<std::size_t>(n);
  }
  content.size_ = done;
  return content;
}

}  // namespace delvix::formats
