#include "formats/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iterator>

namespace delvix::formats {

namespace {

constexpr std::uint64_t blockSize = 4096;
// How many blocks before a read's offset are looked at for one that holds it.
constexpr int blocksLookedAt = 4;

}  // namespace

FileSource::Opened FileSource::open(const std::filesystem::path& path, std::uint64_t readLimit) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer.
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (descriptor < 0) return {nullptr, std::strerror(errno)};
  struct stat info {};
  if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
    ::close(descriptor);
    return {nullptr, "Not a regular file."};
  }
  return {std::unique_ptr<FileSource>(new FileSource(descriptor, static_cast<std::uint64_t>(info.st_size), readLimit)),
          {}};
}

FileSource::~FileSource() { ::close(descriptor_); }

Bytes FileSource::read(std::uint64_t offset, std::size_t count) {
  if (offset >= size_ || count == 0) return {};
  const std::uint64_t end = offset + std::min<std::uint64_t>(count, size_ - offset);

  auto after = blocks_.upper_bound(offset);
  for (int looked = 0; after != blocks_.begin() && looked < blocksLookedAt; ++looked) {
    --after;
    const std::uint64_t start = after->first;
    const std::vector<std::uint8_t>& block = after->second;
    if (start + block.size() >= end)
      return Bytes(block).subspan(static_cast<std::size_t>(offset - start), static_cast<std::size_t>(end - offset));
  }

  const std::uint64_t start = offset / blockSize * blockSize;
  const std::uint64_t stop = std::min(size_, (end + blockSize - 1) / blockSize * blockSize);
  if (stop - start > readLimit_ - bytesRead_) return {};
  std::vector<std::uint8_t> block(static_cast<std::size_t>(stop - start));
  std::size_t done = 0;
  while (done < block.size()) {
    const ssize_t n = ::pread(descriptor_, block.data() + done, block.size() - done, static_cast<off_t>(start + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // an error, or the file shrank: keep what arrived
    done += static_cast<std::size_t>(n);
  }
  block.resize(done);
  bytesRead_ += done;
  if (start + done <= offset) return {};
  const std::vector<std::uint8_t>& stored = blocks_.emplace(start, std::move(block))->second;
  const std::uint64_t available = std::min<std::uint64_t>(end, start + done) - offset;
  return Bytes(stored).subspan(static_cast<std::size_t>(offset - start), static_cast<std::size_t>(available));
}

}  // namespace delvix::formats
