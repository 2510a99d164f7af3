#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/reporter.h"

namespace delvix::formats {

struct SaveFailure {
  enum class Kind {
    cannotCreate,   // no file could be made (nothing changed)
    writeFailed,    // the new content did not get onto the disk (nothing changed)
    damaged,        // a file with other names was only partly overwritten; the reason names the complete copy
    notSynced,      // the file was replaced, but its folder could not be synced
    sourceChanged,  // bytes to be copied from a mapped file are no longer as it was opened (nothing changed)
    cancelled,      // the user stopped the save (nothing changed)
  };
  Kind kind;
  std::string reason;  // the system's words, e.g. "No space left on device"; for sourceChanged the whole message
};

// Bytes that a file takes from where they already are (a wave file's samples in the file they were read
// from) instead of from a copy: they go in before the writer's own byte at `offset`.
struct Inset {
  std::size_t offset = 0;
  std::span<const std::uint8_t> data;
};

// Told how many of the file's bytes are written so far, a few MiB at a time; returns false to stop the save.
// It may be called from the thread that writes, which need not be the one that shows it.
using WriteProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Writes `bytes` (with the insets placed, in order of offset) to a new file in the target's folder, syncs
// it, renames it over `target` only when every byte is on disk, and syncs the folder: a failure, a full disk
// or an interrupting signal at any point leaves an existing target as it was and no temporary file behind.
// A symbolic link stays, and the file it names gets the content. An existing target's mode, and its owner
// where the system allows, carry over. A target with other hard links is overwritten in place after a
// complete copy was written and read back, so that all its names keep showing the same file.
// Insets that lie in a MappedFile are copied from its file inside the kernel, and only while that file is as
// it was opened; its path naming another file now, or being the target with other names, refuses the save.
// A `progress` that says stop is a failure like any other: the target stays as it was, no file is left.
std::optional<SaveFailure> replaceFileContents(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                                               std::span<const Inset> insets = {}, const WriteProgress& progress = {});

// The file that a writer produced: its bytes, and whether the writer got through all the parts. Large parts
// that live elsewhere stay there as insets and are written straight from where they are.
struct WrittenFile {
  std::vector<std::uint8_t> bytes;
  bool complete = true;
  std::vector<Inset> insets{};

  std::uint64_t size() const;
  // The whole file in one piece.
  std::vector<std::uint8_t> joined() const;
};

// Saves a writer's output and reports what went wrong in the program's words: `cannotCreateText`
// (shown with an OK button) when the file cannot be made, "Only part of data will be save in file."
// when the writer stopped early (then only a new file is written; an existing one is kept).
// Returns true when the file now holds the complete output.
bool deliverFile(const std::filesystem::path& target, const WrittenFile& file, std::string_view cannotCreateText,
                 Reporter& reporter, const WriteProgress& progress = {});

// The message for a failed save of `target`, with the system's reason; `existed`: whether there was a file.
std::string failureText(const std::filesystem::path& target, const SaveFailure& failure, bool existed);

inline constexpr std::string_view onlyPartSaved = "Only part of data will be save in file.";

}  // namespace delvix::formats
