#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "formats/byte_source.h"
#include "formats/pe/resource_counts.h"
#include "model/wave_state.h"

// What the two browsers and `delvix-cli info` tell of one file without opening it in the viewer. Every read
// is bounded: a summary costs a file's headers, never its samples or its resources' data.
namespace delvix::browse {

// What a file is taken for, by its extension (without regard to case).
enum class FileKind { other, iconFile, cursorFile, animatedCursor, module, wave };
FileKind fileKindOf(const std::filesystem::path& file);
// What `file` (named `name`) is taken for by its first bytes, or by its name when they tell nothing.
FileKind fileKindOf(formats::ByteSource& file, const std::filesystem::path& name);

enum class Access {
  read,        // a regular file, opened and read
  unreadable,  // a regular file that could not be opened: its counts read 0 and its time " ? "
  notAFile,    // a FIFO, a device, a socket, or nothing there: nothing is opened, the columns stay empty
};

struct FileSummary {
  FileKind kind = FileKind::other;
  Access access = Access::notAFile;
  std::uint64_t size = 0;
  // An icon or cursor file: the image count of its header. An animated cursor: the frame count of "anih".
  std::uint32_t images = 0;
  // A module: its icon groups, cursor groups and bitmaps, counted by name.
  formats::pe::ResourceCounts resources;
  // A wave file: its format record when a "fmt " chunk was read, and its playing time when it can be
  // worked out (the viewer's formats::playingSecondsOf).
  std::optional<model::WaveFormat> waveFormat;
  std::optional<double> seconds;
  // Why something could not be read or worked out, for a tooltip and the message log; empty when all was.
  std::string reason;
  // How many bytes were taken from the file.
  std::uint64_t bytesRead = 0;
};

// The summary of `file` for the kind its first bytes tell, or its extension names when they tell none, or for
// `kind` when given; a file of another kind gets only its size.
FileSummary summarizeFile(const std::filesystem::path& file, std::optional<FileKind> kind = std::nullopt);

// The summary of bytes that are not in a file of their own (standard input), read as `kind`.
FileSummary summarizeSource(const std::shared_ptr<formats::ByteSource>& source, FileKind kind);

// Most bytes a summary reads of one file, however its headers point around.
inline constexpr std::uint64_t summaryReadLimit = std::uint64_t{4} << 20;

}  // namespace delvix::browse
