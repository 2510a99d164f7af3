#include "formats/file_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>

#include "formats/mapped_file.h"
#include "formats/regular_file.h"
#include "formats/save_signals.h"

namespace delvix::formats {

namespace {

namespace fs = std::filesystem;

std::string systemError(int error) { return std::strerror(error); }

SaveFailure failure(SaveFailure::Kind kind, int error) { return {kind, systemError(error)}; }

// Where the bytes of `target` live: a symbolic link is followed (to a file that may not be there yet), so
// that the link stays and the file it names gets the new content.
std::optional<fs::path> resolveLinks(fs::path target) {
  for (int depth = 0; depth < 40; ++depth) {
    std::error_code error;
    if (!fs::is_symlink(target, error)) return target;
    const fs::path link = fs::read_symlink(target, error);
    if (error) return std::nullopt;
    target = link.is_absolute() ? link : target.parent_path() / link;
  }
  return std::nullopt;
}

// The bytes of a save, the writer's own with the insets placed, as the pieces they are written in.
std::vector<std::span<const std::uint8_t>> piecesOf(std::span<const std::uint8_t> bytes,
                                                    std::span<const Inset> insets) {
  std::vector<std::span<const std::uint8_t>> pieces;
  std::size_t done = 0;
  for (const Inset& inset : insets) {
    const std::size_t offset = std::clamp(inset.offset, done, bytes.size());
    pieces.push_back(bytes.subspan(done, offset - done));
    pieces.push_back(inset.data);
    done = offset;
  }
  pieces.push_back(bytes.subspan(done));
  return pieces;
}

SaveFailure changedText(const MappedFile& source) {
  return {SaveFailure::Kind::sourceChanged,
          source.changeSinceOpened().value_or("The file " + source.path().string() +
                                              " ended before all its bytes were copied; it is not saved.")};
}

// The share of a save that is written, told to the caller's progress a piece at a time.
class WriteTally {
 public:
  WriteTally(const WriteProgress& progress, std::uint64_t total) : progress_(progress), total_(total) {}
  // False when the caller wants the save stopped.
  bool advance(std::uint64_t written) {
    done_ += written;
    return !progress_ || progress_(done_, total_);
  }

 private:
  const WriteProgress& progress_;
  std::uint64_t total_;
  std::uint64_t done_ = 0;
};

// How much is written at once: enough to keep the disk busy, little enough to tell progress and stop soon.
constexpr std::size_t copyStep = std::size_t{64} << 20;
constexpr std::size_t writeStep = std::size_t{8} << 20;

SaveFailure cancelledSave() { return {SaveFailure::Kind::cancelled, "the save was cancelled"}; }

// Writes `piece` from memory to `offset` of `descriptor`, a step at a time; `fault` turns a mapping that can no
// longer be read into the right failure.
template <typename Fault>
std::optional<SaveFailure> writeFromMemory(int descriptor, std::span<const std::uint8_t> piece, off_t& offset,
                                           WriteTally& tally, Fault fault) {
  while (!piece.empty()) {
    const ssize_t n = ::pwrite(descriptor, piece.data(), std::min(piece.size(), writeStep), offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EFAULT) return fault();
    if (n <= 0) return failure(SaveFailure::Kind::writeFailed, n < 0 ? errno : ENOSPC);
    piece = piece.subspan(static_cast<std::size_t>(n));
    offset += n;
    if (!tally.advance(static_cast<std::uint64_t>(n))) return cancelledSave();
  }
  return std::nullopt;
}

// Copies `piece`, which lies in `source`'s mapping, to `offset` of `descriptor` inside the kernel, so that its
// pages are neither read into this process nor kept in it; where the file systems cannot do that, the rest
// is written from the mapping. A source that ends early is a failure.
std::optional<SaveFailure> copyFromMappedFile(int descriptor, const MappedFile& source,
                                              std::span<const std::uint8_t> piece, off_t& offset, WriteTally& tally) {
  auto from = static_cast<off_t>(piece.data() - source.bytes().data());
  while (!piece.empty()) {
    const ssize_t n =
        ::copy_file_range(source.descriptor(), &from, descriptor, &offset, std::min(piece.size(), copyStep), 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) break;
    if (n < 0) return failure(SaveFailure::Kind::writeFailed, errno);
    if (n == 0) return changedText(source);
    piece = piece.subspan(static_cast<std::size_t>(n));
    if (!tally.advance(static_cast<std::uint64_t>(n))) return cancelledSave();
  }
  return writeFromMemory(descriptor, piece, offset, tally, [&] { return changedText(source); });
}

// Writes every piece from the file's start: pieces of a mapped file are copied from it, the rest written.
std::optional<SaveFailure> writePieces(int descriptor, std::span<const std::span<const std::uint8_t>> pieces,
                                       const WriteProgress& progress) {
  std::uint64_t total = 0;
  for (auto piece : pieces) total += piece.size();
  WriteTally tally(progress, total);
  if (!tally.advance(0)) return cancelledSave();
  off_t offset = 0;
  for (std::span<const std::uint8_t> piece : pieces) {
    const MappedFile* source = MappedFile::holding(piece);
    auto failed = source ? copyFromMappedFile(descriptor, *source, piece, offset, tally)
                         : writeFromMemory(descriptor, piece, offset, tally,
                                           [] { return failure(SaveFailure::Kind::writeFailed, EFAULT); });
    if (failed) return failed;
  }
  return std::nullopt;
}

// The mapped files that some of the pieces come from, each once.
std::vector<const MappedFile*> sourcesOf(std::span<const std::span<const std::uint8_t>> pieces) {
  std::vector<const MappedFile*> sources;
  for (auto piece : pieces)
    if (const MappedFile* source = MappedFile::holding(piece);
        source && std::ranges::find(sources, source) == sources.end())
      sources.push_back(source);
  return sources;
}

// Why the bytes taken from mapped files cannot be saved to `target` (`existing`, when it exists): a source was
// changed since it was opened, or its path now names another program's file.
std::optional<SaveFailure> sourceProblem(std::span<const MappedFile* const> sources, const fs::path& target,
                                         const struct stat* existing) {
  for (const MappedFile* source : sources) {
    if (auto changed = source->changeSinceOpened()) return SaveFailure{SaveFailure::Kind::sourceChanged, *changed};
    if (!existing) continue;
    if (auto replaced = source->replacementAt(target, identityOf(*existing)))
      return SaveFailure{SaveFailure::Kind::sourceChanged, *replaced};
  }
  return std::nullopt;
}

// Whether the file on `descriptor` holds exactly the pieces.
bool holdsExactly(int descriptor, std::span<const std::span<const std::uint8_t>> pieces) {
  std::vector<std::uint8_t> block(std::size_t{1} << 20);
  off_t offset = 0;
  for (std::span<const std::uint8_t> piece : pieces) {
    while (!piece.empty()) {
      const std::size_t wanted = std::min(block.size(), piece.size());
      const ssize_t n = ::pread(descriptor, block.data(), wanted, offset);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0 || !std::equal(block.begin(), block.begin() + n, piece.begin())) return false;
      piece = piece.subspan(static_cast<std::size_t>(n));
      offset += n;
    }
  }
  char extra;
  return ::pread(descriptor, &extra, 1, offset) == 0;
}

int syncFolder(const fs::path& folder) {
  Descriptor descriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!descriptor) return errno;
  // Some file systems cannot sync a folder; what they have is as safe as it gets there.
  if (::fsync(descriptor.get()) != 0 && errno != EINVAL && errno != EROFS) return errno;
  return 0;
}

// A temporary file beside the target, named after it; removed again unless it was renamed into place or
// kept on purpose, and removed by SIGINT, SIGTERM or SIGHUP while it is there.
class TemporaryFile {
 public:
  TemporaryFile(const fs::path& target, TemporaryFileGuard& guard) : guard_(guard) {
    std::random_device random;
    for (int attempt = 0; attempt < 20 && !descriptor_; ++attempt) {
      path_ = target.parent_path() / ("." + target.filename().string() + ".delvix-" + std::to_string(random()));
      // Created and watched with the signals held, so that no signal falls between the two.
      SignalsHeld held;
      descriptor_ = Descriptor(::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      if (descriptor_) guard_.watch(path_);
      if (!descriptor_ && errno != EEXIST) break;
    }
    if (!descriptor_) error_ = errno;
  }
  ~TemporaryFile() { remove(); }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool opened() const { return static_cast<bool>(descriptor_); }
  int error() const { return error_; }
  int descriptor() const { return descriptor_.get(); }
  const fs::path& path() const { return path_; }

  // Written and on the disk, and closed: the close can report a failed write too (on network file systems).
  int syncAndClose() {
    if (::fsync(descriptor_.get()) != 0 && errno != EINVAL) return errno;
    if (::close(descriptor_.release()) != 0) return errno;
    return 0;
  }
  int renameTo(const fs::path& target) {
    if (::rename(path_.c_str(), target.c_str()) != 0) return errno;
    forget();
    return 0;
  }
  // The file stays where it is, for the user to take what it holds.
  void keep() { forget(); }
  void remove() {
    if (path_.empty()) return;
    descriptor_ = Descriptor();
    ::unlink(path_.c_str());
    forget();
  }

 private:
  void forget() {
    guard_.watch({});
    path_.clear();
  }

  TemporaryFileGuard& guard_;
  fs::path path_;
  Descriptor descriptor_;
  int error_ = 0;
};

// Copies the first `size` bytes of `from` over the start of `to`; the errno of the first failure, or 0.
int copyContent(int from, int to, std::uint64_t size) {
  std::vector<std::uint8_t> block(std::size_t{1} << 20);
  for (std::uint64_t offset = 0; offset < size;) {
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size - offset));
    const ssize_t n = ::pread(from, block.data(), wanted, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    for (ssize_t done = 0; done < n;) {
      const ssize_t m =
          ::pwrite(to, block.data() + done, static_cast<std::size_t>(n - done), static_cast<off_t>(offset) + done);
      if (m < 0 && errno == EINTR) continue;
      if (m <= 0) return m < 0 ? errno : ENOSPC;
      done += m;
    }
    offset += static_cast<std::uint64_t>(n);
  }
  return 0;
}

// A target with other names (hard links) gets the new content in place, so that every name shows it: the
// content is first written to a temporary file, synced and read back, space for it is reserved, and only
// then is the target overwritten from that copy (never from memory that may map the target itself), with
// the ending signals held. Should the overwrite still fail, the checked copy stays and the message names it.
std::optional<SaveFailure> overwriteInPlace(const fs::path& target, TemporaryFile& copy,
                                            std::span<const std::span<const std::uint8_t>> pieces) {
  std::uint64_t size = 0;
  for (auto piece : pieces) size += piece.size();
  if (::fsync(copy.descriptor()) != 0 && errno != EINVAL) return failure(SaveFailure::Kind::writeFailed, errno);
  if (!holdsExactly(copy.descriptor(), pieces))
    return SaveFailure{SaveFailure::Kind::writeFailed, "the new content did not read back as written"};
  Descriptor file(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
  if (!file) return failure(SaveFailure::Kind::cannotCreate, errno);
  if (::fallocate(file.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) != 0 && errno != EOPNOTSUPP &&
      errno != ENOSYS)
    return failure(SaveFailure::Kind::writeFailed, errno);

  SignalsHeld held;
  int error = copyContent(copy.descriptor(), file.get(), size);
  if (!error && ::ftruncate(file.get(), static_cast<off_t>(size)) != 0) error = errno;
  if (!error && ::fsync(file.get()) != 0 && errno != EINVAL) error = errno;
  if (!error && ::close(file.release()) != 0) error = errno;
  if (error) {
    const fs::path kept = copy.path();
    copy.keep();
    return SaveFailure{SaveFailure::Kind::damaged,
                       systemError(error) + "; the new content is complete in " + kept.string()};
  }
  copy.remove();
  return std::nullopt;
}

}  // namespace

std::uint64_t WrittenFile::size() const {
  std::uint64_t total = bytes.size();
  for (const Inset& inset : insets) total += inset.data.size();
  return total;
}

std::vector<std::uint8_t> WrittenFile::joined() const {
  std::vector<std::uint8_t> whole;
  whole.reserve(size());
  const std::span<const std::uint8_t> own = bytes;
  std::size_t done = 0;
  for (const Inset& inset : insets) {
    const std::size_t offset = std::clamp(inset.offset, done, own.size());
    whole.insert(whole.end(), own.begin() + static_cast<std::ptrdiff_t>(done),
                 own.begin() + static_cast<std::ptrdiff_t>(offset));
    whole.insert(whole.end(), inset.data.begin(), inset.data.end());
    done = offset;
  }
  whole.insert(whole.end(), own.begin() + static_cast<std::ptrdiff_t>(done), own.end());
  return whole;
}

std::optional<SaveFailure> replaceFileContents(const fs::path& given, std::span<const std::uint8_t> bytes,
                                               std::span<const Inset> insets, const WriteProgress& progress) {
  const auto resolved = resolveLinks(given.parent_path().empty() ? fs::path(".") / given : given);
  if (!resolved) return failure(SaveFailure::Kind::cannotCreate, ELOOP);
  const fs::path& target = *resolved;
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode))
    return SaveFailure{SaveFailure::Kind::cannotCreate,
                       "it is " + fileTypeName(existing.st_mode) + ", not a regular file"};

  TemporaryFileGuard guard;
  TemporaryFile file(target, guard);
  if (!file.opened())
    return SaveFailure{SaveFailure::Kind::cannotCreate, "no new file can be made in " + target.parent_path().string() +
                                                            ": " + systemError(file.error())};
  if (exists) {
    // The owner where the system lets this process give it (root, or a group of its own); the mode after
    // it, as a change of owner clears the set-user-ID bit.
    if (::fchown(file.descriptor(), existing.st_uid, existing.st_gid) != 0 &&
        ::fchown(file.descriptor(), static_cast<uid_t>(-1), existing.st_gid) != 0) {
      // Neither: the file belongs to this process, as a new one would.
    }
    ::fchmod(file.descriptor(), existing.st_mode & 07777);
  }
  const auto pieces = piecesOf(bytes, insets);
  const auto sources = sourcesOf(pieces);
  if (auto refused = sourceProblem(sources, target, exists ? &existing : nullptr)) return refused;
  if (auto failed = writePieces(file.descriptor(), pieces, progress)) return failed;
  // A change while the bytes were copied would leave a mix of old and new ones.
  if (auto refused = sourceProblem(sources, target, nullptr)) return refused;

  if (exists && existing.st_nlink > 1) {
    // Overwritten in place, a file that samples are mapped from would show the new bytes through the mapping:
    // the mapping moves to a private copy of the old bytes first.
    for (const MappedFile* source : sources)
      if (source->identity().device == existing.st_dev && source->identity().inode == existing.st_ino)
        if (auto error = source->moveToPrivateCopy(target.parent_path()))
          return SaveFailure{SaveFailure::Kind::writeFailed,
                             "the samples of the open file could not be kept aside: " + *error};
    if (auto failed = overwriteInPlace(target, file, pieces)) return failed;
    struct stat written {};
    if (::stat(target.c_str(), &written) == 0)
      for (const MappedFile* source : sources) source->notePathRewritten(target, identityOf(written));
  } else {
    struct stat written {};
    ::fstat(file.descriptor(), &written);
    if (int error = file.syncAndClose()) return failure(SaveFailure::Kind::writeFailed, error);
    // The sync of a long file takes a while: a cancel meanwhile still keeps the old file.
    if (progress && !progress(static_cast<std::uint64_t>(written.st_size), static_cast<std::uint64_t>(written.st_size)))
      return cancelledSave();
    if (int error = file.renameTo(target)) return failure(SaveFailure::Kind::writeFailed, error);
    for (const MappedFile* source : sources) source->notePathRewritten(target, identityOf(written));
  }
  // The new name (or size) is on the disk only once its folder is.
  if (int error = syncFolder(target.parent_path())) return failure(SaveFailure::Kind::notSynced, error);
  return std::nullopt;
}

std::string failureText(const fs::path& target, const SaveFailure& failure, bool existed) {
  const std::string name = target.string();
  switch (failure.kind) {
    case SaveFailure::Kind::cannotCreate:
    case SaveFailure::Kind::writeFailed:
      return "Could not write " + name + ": " + failure.reason + "." +
             (existed ? " The file was not changed." : " No file was made.");
    case SaveFailure::Kind::sourceChanged: return failure.reason;
    case SaveFailure::Kind::cancelled:
      return existed ? "The save was cancelled; the file was not changed."
                     : "The save was cancelled; no file was written.";
    case SaveFailure::Kind::damaged: return "Could not write " + name + " in place: " + failure.reason + ".";
    case SaveFailure::Kind::notSynced:
      return name + " was written, but the system could not make sure that it is on the disk: " + failure.reason + ".";
  }
  return "Could not write " + name + ".";
}

bool deliverFile(const fs::path& target, const WrittenFile& file, std::string_view cannotCreateText, Reporter& reporter,
                 const WriteProgress& progress) {
  if (!file.complete) {
    reporter.error(onlyPartSaved, Buttons::yes);
    std::error_code error;
    if (fs::exists(target, error)) {
      reporter.log("The existing file " + target.string() + " was left as it was.");
      return false;
    }
  }
  std::error_code error;
  const bool existed = fs::exists(target, error);
  auto failure = replaceFileContents(target, file.bytes, file.insets, progress);
  if (!failure) return file.complete;
  if (failure->kind == SaveFailure::Kind::cancelled) {
    // The user asked for it: a line in the log, not a box to close.
    reporter.log(failureText(target, *failure, existed));
    return false;
  }
  if (failure->kind == SaveFailure::Kind::cannotCreate) {
    reporter.error(cannotCreateText, Buttons::ok);
    reporter.log(target.string() + ": " + failure->reason);
  } else {
    reporter.error(failureText(target, *failure, existed), Buttons::ok);
  }
  return false;
}

}  // namespace delvix::formats
