#include "formats/file_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>

namespace delvix::formats {

namespace {

namespace fs = std::filesystem;

std::string systemError(int error) { return std::strerror(error); }

// A temporary file beside the target; removed again unless it was renamed into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(const fs::path& target) {
    std::random_device random;
    for (int attempt = 0; attempt < 20 && descriptor_ < 0; ++attempt) {
      path_ = target.parent_path() / ("." + target.filename().string() + ".delvix-" + std::to_string(random()));
      descriptor_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (descriptor_ < 0 && errno != EEXIST) break;
    }
    if (descriptor_ < 0) error_ = errno;
    created_ = descriptor_ >= 0;
  }
  ~TemporaryFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
    if (created_ && !committed_) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool opened() const { return descriptor_ >= 0; }
  int error() const { return error_; }
  int descriptor() const { return descriptor_; }

  bool writeAll(std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = ::write(descriptor_, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        error_ = n < 0 ? errno : ENOSPC;
        return false;
      }
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  // `durable`: the data reaches the disk before the rename, so that a crash cannot leave an empty file
  // where an old one was.
  bool closeAndRename(const fs::path& target, bool durable) {
    if (durable && ::fsync(descriptor_) != 0 && errno != EINVAL) return fail(errno);
    int descriptor = descriptor_;
    descriptor_ = -1;
    if (::close(descriptor) != 0) return fail(errno);
    if (::rename(path_.c_str(), target.c_str()) != 0) return fail(errno);
    committed_ = true;
    return true;
  }

 private:
  bool fail(int error) {
    error_ = error;
    ::unlink(path_.c_str());
    committed_ = true;  // nothing left to remove
    return false;
  }

  fs::path path_;
  int descriptor_ = -1;
  int error_ = 0;
  bool created_ = false;
  bool committed_ = false;
};

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

std::optional<SaveFailure> replaceFileContents(const fs::path& target, std::span<const std::uint8_t> bytes,
                                               std::span<const Inset> insets) {
  struct stat existing {};
  bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return SaveFailure{SaveFailure::Kind::cannotCreate, "not a regular file"};

  TemporaryFile file(target.parent_path().empty() ? fs::path(".") / target : target);
  if (!file.opened()) return SaveFailure{SaveFailure::Kind::cannotCreate, systemError(file.error())};
  if (exists) ::fchmod(file.descriptor(), existing.st_mode & 07777);
  std::size_t done = 0;
  bool written = true;
  for (const Inset& inset : insets) {
    const std::size_t offset = std::clamp(inset.offset, done, bytes.size());
    written = written && file.writeAll(bytes.subspan(done, offset - done)) && file.writeAll(inset.data);
    done = offset;
  }
  written = written && file.writeAll(bytes.subspan(done));
  if (!written) return SaveFailure{SaveFailure::Kind::writeFailed, systemError(file.error())};
  if (!file.closeAndRename(target, exists))
    return SaveFailure{SaveFailure::Kind::writeFailed, systemError(file.error())};
  return std::nullopt;
}

bool deliverFile(const fs::path& target, const WrittenFile& file, std::string_view cannotCreateText,
                 Reporter& reporter) {
  if (!file.complete) {
    reporter.error(onlyPartSaved, Buttons::yes);
    std::error_code error;
    if (fs::exists(target, error)) {
      reporter.log("The existing file " + target.string() + " was left as it was.");
      return false;
    }
  }
  auto failure = replaceFileContents(target, file.bytes, file.insets);
  if (!failure) return file.complete;
  if (failure->kind == SaveFailure::Kind::cannotCreate) {
    reporter.error(cannotCreateText, Buttons::ok);
    reporter.log(target.string() + ": " + failure->reason);
  } else {
    std::string text = "Could not write " + target.string() + ": " + failure->reason + ". The file was not changed.";
    reporter.error(text, Buttons::ok);
  }
  return false;
}

}  // namespace delvix::formats
