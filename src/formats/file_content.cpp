#include "formats/file_content.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "formats/regular_file.h"

namespace delvix::formats {

namespace {

constexpr std::size_t hugePage = std::size_t{2} << 20;

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

std::optional<FileContent> FileContent::withCapacity(std::size_t capacity) {
  FileContent content;
  capacity = std::max<std::size_t>(capacity, 1);
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
  return content;
}

std::optional<FileContent> FileContent::read(const std::filesystem::path& path, std::string* whyNot) {
  auto fail = [&](std::string reason) {
    if (whyNot) *whyNot = std::move(reason);
    return std::nullopt;
  };
  OpenedFile file = openRegularFile(path);
  if (!file.descriptor) return fail(file.error);
  struct stat info {};
  if (::fstat(file.descriptor.get(), &info) != 0 || info.st_size < 0) return fail(std::strerror(errno));
  const auto size = static_cast<std::size_t>(info.st_size);

  auto content = withCapacity(size);
  if (!content) return fail("not enough memory for " + std::to_string(size) + " bytes");
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::read(file.descriptor.get(), content->data_.get() + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(std::strerror(errno));
    if (n == 0) break;  // the file shrank while it was read: keep what arrived
    done += static_cast<std::size_t>(n);
  }
  content->size_ = done;
  return content;
}

std::optional<FileContent> FileContent::readStream(int descriptor, std::size_t limit, std::string* whyNot) {
  auto fail = [&](std::string reason) {
    if (whyNot) *whyNot = std::move(reason);
    return std::nullopt;
  };
  // The stream's length is not known: the content grows in steps, each twice the last, up to the limit.
  std::size_t capacity = std::min<std::size_t>(std::size_t{1} << 20, limit + 1);
  auto content = withCapacity(capacity);
  std::size_t done = 0;
  while (content) {
    if (done == capacity) {
      if (capacity > limit) return fail("more than " + std::to_string(limit) + " bytes");
      const std::size_t larger = std::min(capacity * 2, limit + 1);
      auto grown = withCapacity(larger);
      if (!grown) break;
      std::memcpy(grown->data_.get(), content->data_.get(), done);
      content = std::move(grown);
      capacity = larger;
    }
    ssize_t n = ::read(descriptor, content->data_.get() + done, capacity - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(std::strerror(errno));
    if (n == 0) {
      content->size_ = done;
      return content;
    }
    done += static_cast<std::size_t>(n);
  }
  return fail("not enough memory for " + std::to_string(capacity) + " bytes");
}

}  // namespace delvix::formats
