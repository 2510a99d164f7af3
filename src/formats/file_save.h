#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "formats/reporter.h"

namespace delvix::formats {

struct SaveFailure {
  enum class Kind { cannotCreate, writeFailed };
  Kind kind;
  std::string reason;  // the system's words, e.g. "No space left on device"
};

// Writes `bytes` to a new file in the target's folder and renames it over `target` only when every
// byte is on disk, so a failure at any point leaves an existing target as it was. An existing
// target's permissions carry over to the new file.
std::optional<SaveFailure> replaceFileContents(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

// The file that a writer produced: its bytes, and whether the writer got through all the parts.
struct WrittenFile {
  std::vector<std::uint8_t> bytes;
  bool complete = true;
};

// Saves a writer's output and reports what went wrong in the program's words: `cannotCreateText`
// (shown with an OK button) when the file cannot be made, "Only part of data will be save in file."
// when the writer stopped early (then only a new file is written; an existing one is kept).
// Returns true when the file now holds the complete output.
bool deliverFile(const std::filesystem::path& target, const WrittenFile& file, std::string_view cannotCreateText,
                 Reporter& reporter);

inline constexpr std::string_view onlyPartSaved = "Only part of data will be save in file.";

}  // namespace delvix::formats
