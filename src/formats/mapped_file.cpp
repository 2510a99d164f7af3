#include "formats/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "formats/mapping_registry.h"

namespace delvix::formats {

namespace {

namespace fs = std::filesystem;

std::int64_t modifiedNs(const struct stat& info) {
  return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

fs::path canonicalOf(const fs::path& path) {
  std::error_code error;
  fs::path canonical = fs::weakly_canonical(fs::absolute(path, error), error);
  return error ? path.lexically_normal() : canonical;
}

}  // namespace

FileIdentity identityOf(const struct stat& info) {
  return {info.st_dev, info.st_ino, static_cast<std::uint64_t>(info.st_size), modifiedNs(info)};
}

MappedFile::Opened MappedFile::open(const fs::path& path) {
  OpenedFile opened = openRegularFile(path);
  if (!opened.descriptor) return {nullptr, opened.error};
  struct stat info {};
  if (::fstat(opened.descriptor.get(), &info) != 0 || info.st_size < 0) return {nullptr, std::strerror(errno)};

  std::shared_ptr<MappedFile> file(new MappedFile());
  file->path_ = path;
  file->canonical_ = canonicalOf(path);
  file->identity_ = identityOf(info);
  file->pathFile_ = file->identity_;
  if (info.st_size > 0) {
    const auto length = static_cast<std::size_t>(info.st_size);
    void* mapped = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, opened.descriptor.get(), 0);
    if (mapped == MAP_FAILED) return {nullptr, std::strerror(errno)};
    file->data_ = static_cast<const std::uint8_t*>(mapped);
    file->slot_ = MappingRegistry::add(mapped, length, file.get());
    // Unregistered, a shortened file would end the program at the first read of a vanished page.
    if (file->slot_ < 0) return {nullptr, "too many files are open at once"};
  }
  file->descriptor_ = std::move(opened.descriptor);
  return {std::move(file), {}};
}

MappedFile::~MappedFile() {
  if (!data_) return;
  MappingRegistry::remove(slot_);
  ::munmap(const_cast<std::uint8_t*>(data_), identity_.size);
}

bool MappedFile::damaged() const { return MappingRegistry::damaged(slot_); }

std::optional<std::string> MappedFile::changeSinceOpened() const {
  struct stat now {};
  const bool changed = damaged() || ::fstat(descriptor_.get(), &now) != 0 ||
                       static_cast<std::uint64_t>(now.st_size) != identity_.size ||
                       modifiedNs(now) != identity_.modifiedNs;
  if (!changed) return std::nullopt;
  return "The file " + path_.string() +
         " was changed on disk by another program since it was opened; it is not saved, so as not to write a mix "
         "of old and new samples.";
}

bool MappedFile::openedFrom(const fs::path& target) const { return canonicalOf(target) == canonical_; }

std::optional<std::string> MappedFile::replacementAt(const fs::path& target, const FileIdentity& now) const {
  {
    std::lock_guard lock(pathMutex_);
    if (now == pathFile_) return std::nullopt;
  }
  if (!openedFrom(target)) return std::nullopt;
  return "The file " + path_.string() +
         " was changed or replaced on disk by another program; it is not saved over, so as not to discard that "
         "program's version. Save it under another name.";
}

void MappedFile::notePathRewritten(const fs::path& target, const FileIdentity& now) const {
  if (!openedFrom(target)) return;
  std::lock_guard lock(pathMutex_);
  pathFile_ = now;
}

std::optional<std::string> MappedFile::moveToPrivateCopy(const fs::path& folder) const {
  if (!data_) return std::nullopt;
  Descriptor copy(::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
  if (!copy) {
    // A file system without nameless files: a named one, its name removed at once.
    std::string name = (folder / ".delvix-samples-XXXXXX").string();
    copy = Descriptor(::mkostemp(name.data(), O_CLOEXEC));
    if (!copy) return std::strerror(errno);
    ::unlink(name.c_str());
  }
  off_t from = 0;
  while (static_cast<std::uint64_t>(from) < identity_.size) {
    const std::size_t left = identity_.size - static_cast<std::uint64_t>(from);
    ssize_t n = ::copy_file_range(descriptor_.get(), &from, copy.get(), nullptr, left, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
      n = ::pwrite(copy.get(), data_ + from, left, from);
      if (n > 0) from += n;
    }
    if (n < 0) return std::strerror(errno);
    if (n == 0) return "the file ended early";
  }
  struct stat info {};
  if (::fstat(copy.get(), &info) != 0) return std::strerror(errno);
  void* moved =
      ::mmap(const_cast<std::uint8_t*>(data_), identity_.size, PROT_READ, MAP_PRIVATE | MAP_FIXED, copy.get(), 0);
  if (moved == MAP_FAILED) return std::strerror(errno);
  descriptor_ = std::move(copy);
  identity_ = identityOf(info);
  return std::nullopt;
}

const MappedFile* MappedFile::holding(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return nullptr;
  return static_cast<const MappedFile*>(MappingRegistry::ownerOf(bytes.data(), bytes.size()));
}

std::optional<std::string> changeUnder(const model::SampleData& samples) {
  for (const model::SharedBytes& piece : samples.pieces())
    if (const MappedFile* source = MappedFile::holding(piece))
      if (auto changed = source->changeSinceOpened()) return changed;
  return std::nullopt;
}

void releaseMappedPages(std::span<const std::uint8_t> bytes) {
  static const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<std::uintptr_t>(bytes.data());
  const std::uintptr_t first = (start + pageSize - 1) / pageSize * pageSize;
  const std::uintptr_t end = (start + bytes.size()) / pageSize * pageSize;
  if (bytes.empty() || end <= first) return;
  auto* pages = reinterpret_cast<void*>(first);
  // Only pages of a read-only file mapping come back unchanged; dropping any other memory would lose it.
  if (MappingRegistry::ownerOf(pages, end - first) == nullptr) return;
  madvise(pages, end - first, MADV_DONTNEED);
}

}  // namespace delvix::formats
