#include "formats/content_kind.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "formats/regular_file.h"

namespace delvix::formats {

std::optional<ContentKind> contentKindOf(Bytes firstBytes) {
  auto startsWith = [&](std::size_t offset, std::string_view word) {
    return firstBytes.size() >= offset + word.size() &&
           std::equal(word.begin(), word.end(), firstBytes.begin() + static_cast<std::ptrdiff_t>(offset));
  };
  if (startsWith(0, "RIFF") || startsWith(0, "RIFX") || startsWith(0, "RF64")) {
    if (startsWith(8, "ACON")) return ContentKind::animatedCursor;
    if (startsWith(8, "WAVE")) return ContentKind::wave;
    return std::nullopt;
  }
  if (startsWith(0, "MZ")) return ContentKind::module;
  if (startsWith(0, "Xcur")) return ContentKind::xcursor;
  if (firstBytes.size() >= 4 && firstBytes[0] == 0 && firstBytes[1] == 0 && firstBytes[3] == 0) {
    if (firstBytes[2] == 1) return ContentKind::icon;
    if (firstBytes[2] == 2) return ContentKind::cursor;
  }
  return std::nullopt;
}

model::FileKind fileKindOf(ContentKind kind) {
  switch (kind) {
    case ContentKind::icon:
    case ContentKind::cursor: return model::FileKind::iconFile;
    case ContentKind::animatedCursor: return model::FileKind::animatedCursor;
    case ContentKind::wave: return model::FileKind::wave;
    case ContentKind::xcursor: return model::FileKind::xcursor;
    case ContentKind::module: break;
  }
  return model::FileKind::module;
}

std::optional<model::FileKind> fileKindOfContent(Bytes firstBytes) {
  const auto kind = contentKindOf(firstBytes);
  return kind ? std::optional(fileKindOf(*kind)) : std::nullopt;
}

std::string_view kindInWords(ContentKind kind) {
  switch (kind) {
    case ContentKind::icon: return "an icon file";
    case ContentKind::cursor: return "a cursor file";
    case ContentKind::animatedCursor: return "an animated cursor";
    case ContentKind::wave: return "a wave file";
    case ContentKind::xcursor: return "an X cursor file";
    case ContentKind::module: break;
  }
  return "a program module";
}

std::optional<model::FileKind> fileKindOfExtension(std::string extension) {
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".ico" || extension == ".cur") return model::FileKind::iconFile;
  if (extension == ".exe" || extension == ".dll" || extension == ".ocx" || extension == ".cpl" || extension == ".scr" ||
      extension == ".icl" || extension == ".mun")
    return model::FileKind::module;
  if (extension == ".ani") return model::FileKind::animatedCursor;
  if (extension == ".wav") return model::FileKind::wave;
  return std::nullopt;
}

FileKindChoice chooseFileKind(Bytes firstBytes, const std::filesystem::path& name) {
  FileKindChoice choice;
  const auto byExtension = fileKindOfExtension(name.extension().string());
  choice.content = contentKindOf(firstBytes);
  if (!choice.content) {
    choice.kind = byExtension;
    return choice;
  }
  choice.kind = fileKindOf(*choice.content);
  if (byExtension && *byExtension != *choice.kind) {
    const std::string words(kindInWords(*choice.content));
    choice.mismatch = name.string() + " holds " + words + "; read as " + words;
  }
  return choice;
}

FileKindChoice chooseFileKind(const std::filesystem::path& path) {
  std::array<std::uint8_t, kindTellingBytes> head{};
  std::size_t got = 0;
  std::string error;
  if (OpenedFile file = openRegularFile(path); !file.descriptor) {
    error = file.error;
  } else {
    while (got < head.size()) {
      const ssize_t n = ::read(file.descriptor.get(), head.data() + got, head.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) error = std::strerror(errno);
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
  }
  FileKindChoice choice = chooseFileKind(Bytes(head.data(), got), path);
  choice.openError = std::move(error);
  return choice;
}

}  // namespace delvix::formats
