#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "formats/regular_file.h"
#include "model/sample_data.h"

namespace delvix::formats {

// Which file a path named, and how it was, when it was opened.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modifiedNs = 0;

  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

FileIdentity identityOf(const struct stat& info);

// A regular file mapped read-only and private, so that its bytes are read from the page cache only where
// they are looked at. The descriptor stays open, so that the file's bytes stay reachable (for copying them
// into a saved file) even after another file took its name. A file shortened under the mapping reads as
// zeros where it is gone (see MappingRegistry), and counts as damaged. An empty file maps nothing.
class MappedFile {
 public:
  struct Opened {
    std::shared_ptr<const MappedFile> file;
    std::string error;  // why there is none
  };
  static Opened open(const std::filesystem::path& path);

  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  ~MappedFile();

  std::span<const std::uint8_t> bytes() const { return {data_, identity_.size}; }
  const std::filesystem::path& path() const { return path_; }
  int descriptor() const { return descriptor_.get(); }
  const FileIdentity& identity() const { return identity_; }
  // Whether a page of the mapping was found gone (the file was shortened) and reads as zeros.
  bool damaged() const;

  // Why bytes taken from this file now would not be the bytes it had when it was opened (it was changed in
  // place, shortened or lengthened), in words for the user; nullopt when it is as it was.
  std::optional<std::string> changeSinceOpened() const;
  // Why saving over `target` (which exists, as `now`) would discard another program's file: the path this
  // file was opened from now names another file, or the file this program last saved there was changed since.
  // Nullopt otherwise.
  std::optional<std::string> replacementAt(const std::filesystem::path& target, const FileIdentity& now) const;
  // After this program wrote the file under the path it was opened from (`now`): that is the path's own now.
  void notePathRewritten(const std::filesystem::path& target, const FileIdentity& now) const;
  bool openedFrom(const std::filesystem::path& target) const;
  // Before this program overwrites the mapped file in place (a file with other names): the mapping is moved,
  // at the same addresses, onto a copy of the file made in `folder` that has no name, so that what was read
  // stays as it was. The error in words, or nullopt.
  std::optional<std::string> moveToPrivateCopy(const std::filesystem::path& folder) const;

  // The mapped file that holds all of `bytes`, or null.
  static const MappedFile* holding(std::span<const std::uint8_t> bytes);

 private:
  MappedFile() = default;

  std::filesystem::path path_;       // as given
  std::filesystem::path canonical_;  // for comparing with a save's target
  // Mutable only for moveToPrivateCopy, which keeps the bytes the same.
  mutable Descriptor descriptor_;
  mutable FileIdentity identity_;
  const std::uint8_t* data_ = nullptr;
  int slot_ = -1;
  // The file the path names as far as this program knows: the one opened, or the one a save put there.
  mutable std::mutex pathMutex_;
  mutable FileIdentity pathFile_;
};

// Why bytes taken from `samples` now would not be the ones that were read: a file they are mapped from was
// changed on disk since it was opened (MappedFile::changeSinceOpened). For saves that copy the samples out
// (one channel) instead of handing them to replaceFileContents as insets, which checks by itself.
std::optional<std::string> changeUnder(const model::SampleData& samples);

// Hands back to the system the pages of `bytes` that lie wholly inside a registered file mapping: the program's
// resident memory shrinks, and the next read of them maps them again from the file (usually from the page
// cache). Bytes anywhere else are left alone. For a long pass over mapped samples (a summary) that would
// otherwise keep every page of the file resident.
void releaseMappedPages(std::span<const std::uint8_t> bytes);

}  // namespace delvix::formats
