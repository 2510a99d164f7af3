#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "formats/byte_reader.h"
#include "model/document.h"

namespace delvix::formats {

// What a file's first bytes show it to be. Nothing else this program reads begins with "MZ", so those two
// bytes make a module (a 16-bit one or one with a damaged PE header too): its reader then says what is wrong.
enum class ContentKind { icon, cursor, animatedCursor, wave, module, xcursor };

// How many of a file's first bytes tell its kind: a RIFF header with its form type.
inline constexpr std::size_t kindTellingBytes = 12;

// The kind that `firstBytes` begin: 00 00 01 00 (icon) or 00 00 02 00 (cursor), "RIFF", "RIFX" or "RF64"
// with the form "ACON" or "WAVE", "MZ", "Xcur" (an X11 cursor, which has no extension of its own). Nullopt for anything else, an empty file included.
std::optional<ContentKind> contentKindOf(Bytes firstBytes);
// The same as the reader it calls for.
std::optional<model::FileKind> fileKindOfContent(Bytes firstBytes);
model::FileKind fileKindOf(ContentKind kind);
// "an icon file", "a wave file", ...
std::string_view kindInWords(ContentKind kind);

// The kind of file that an extension (".ico", ".CUR", ...) names, compared without regard to case.
std::optional<model::FileKind> fileKindOfExtension(std::string extension);

// Which reader a file calls for: the one its first bytes call for, else the one its extension calls for.
struct FileKindChoice {
  std::optional<model::FileKind> kind;  // none: neither the content nor the extension tells
  std::optional<ContentKind> content;
  // When content and extension disagree: "x.ico holds a wave file; read as a wave file" (the name as given).
  std::string mismatch;
  // Why the first bytes could not be read (the system's reason), or empty.
  std::string openError;
};

// Reads at most kindTellingBytes of `path`, and never waits on what is not a regular file.
FileKindChoice chooseFileKind(const std::filesystem::path& path);
// The same for bytes already at hand, named `name`.
FileKindChoice chooseFileKind(Bytes firstBytes, const std::filesystem::path& name);

}  // namespace delvix::formats
