#include "browse/file_summary.h"

#include <sys/stat.h>

#include <algorithm>
#include <exception>
#include <memory>

#include "browse/file_names.h"
#include "formats/byte_source.h"
#include "formats/content_kind.h"
#include "formats/le_bytes.h"
#include "formats/reporter.h"
#include "formats/riff/riff_navigator.h"
#include "formats/wav_reader.h"
#include "model/document.h"

namespace delvix::browse {

namespace fs = std::filesystem;

namespace {

using formats::Bytes;
using formats::ByteSource;

constexpr std::size_t iconHeaderSize = 6;
constexpr std::size_t aniHeaderSize = 36;
constexpr formats::riff::FourCC aconForm = formats::riff::fourcc('A', 'C', 'O', 'N');
constexpr formats::riff::FourCC aniHeaderId = formats::riff::fourcc('a', 'n', 'i', 'h');

// The messages a reader gave, in order, as one text.
std::string joined(const formats::RecordingReporter& reporter) {
  std::string text;
  auto add = [&](const std::string& line) {
    if (line.empty()) return;
    if (!text.empty()) text += ' ';
    text += line;
    if (line.back() != '.') text += '.';
  };
  for (const formats::DialogRequest& dialog : reporter.dialogs) add(dialog.text);
  for (const std::string& line : reporter.lines) add(line);
  return text;
}

void summarizeIconFile(ByteSource& file, FileSummary& summary) {
  const Bytes header = file.read(0, iconHeaderSize);
  if (header.size() < iconHeaderSize) {
    summary.reason = "The file holds " + std::to_string(file.size()) + " bytes, fewer than the 6 of an icon header.";
    return;
  }
  summary.images = formats::le16(header, 4);
}

void summarizeAnimatedCursor(ByteSource& file, FileSummary& summary) {
  formats::riff::Navigator navigator(file);
  formats::riff::Chunk form, header;
  if (navigator.descendRiff(form, aconForm) != formats::riff::code::ok) {
    summary.reason = "There is no RIFF form 'ACON'.";
    return;
  }
  if (navigator.descendChunk(header, form, aniHeaderId) != formats::riff::code::ok) {
    summary.reason = "The 'ACON' form has no 'anih' chunk.";
    return;
  }
  const Bytes fields = navigator.read(aniHeaderSize);
  if (fields.size() < aniHeaderSize) {
    summary.reason = "The 'anih' chunk is cut short: " + std::to_string(fields.size()) + " of 36 bytes.";
    return;
  }
  summary.images = formats::le32(fields, 4);
}

void summarizeModule(std::shared_ptr<ByteSource> file, FileSummary& summary) {
  std::string whyNot;
  auto counts = formats::pe::countResources(std::move(file), whyNot);
  if (!counts) {
    summary.reason = whyNot;
    return;
  }
  summary.resources = *counts;
}

std::string unknownTimeReason(const model::WaveState& wave) {
  if (wave.format.samplesPerSecond == 0) return "The playing time is not known: the sample rate is 0.";
  return "The playing time is not known: the format gives no frame size and there is no 'fact' frame count.";
}

void summarizeWave(ByteSource& file, FileSummary& summary) {
  model::Document document;
  formats::RecordingReporter reporter;
  const bool read = formats::readWaveHeaders(file, document, reporter);
  const model::WaveState& wave = document.wave;
  const model::Node* root = document.tree.topLevelCount() ? &document.tree.topLevel(0) : nullptr;
  const bool formatRead = root && root->findChild("fmt");
  if (formatRead) summary.waveFormat = wave.format;
  // Without its data, a compressed file still tells its time by its frame count.
  if (read || (formatRead && !wave.isPcm() && wave.factValue != 0)) summary.seconds = formats::playingSecondsOf(wave);
  if (!read)
    summary.reason = "Not read as a wave file: " + joined(reporter);
  else if (!summary.seconds)
    summary.reason = unknownTimeReason(wave);
}

void summarizeContent(const std::shared_ptr<ByteSource>& file, FileSummary& summary) {
  switch (summary.kind) {
    case FileKind::iconFile:
    case FileKind::cursorFile: summarizeIconFile(*file, summary); break;
    case FileKind::animatedCursor: summarizeAnimatedCursor(*file, summary); break;
    case FileKind::module: summarizeModule(file, summary); break;
    case FileKind::wave: summarizeWave(*file, summary); break;
    case FileKind::other: break;
  }
}

FileKind summaryKindOf(formats::ContentKind kind) {
  switch (kind) {
    case formats::ContentKind::icon: return FileKind::iconFile;
    case formats::ContentKind::cursor: return FileKind::cursorFile;
    case formats::ContentKind::animatedCursor: return FileKind::animatedCursor;
    case formats::ContentKind::wave: return FileKind::wave;
    case formats::ContentKind::xcursor: return FileKind::other;  // listed with its size only
    case formats::ContentKind::module: break;
  }
  return FileKind::module;
}

// A known extension whose file holds another kind is said in the reason.
void chooseKind(ByteSource& file, const fs::path& name, FileSummary& summary) {
  const auto byName = formats::fileKindOfExtension(name.extension().string());
  const auto content = formats::contentKindOf(file.read(0, formats::kindTellingBytes));
  summary.kind = fileKindOf(file, name);
  if (content && byName && *byName != formats::fileKindOf(*content)) {
    const std::string words(formats::kindInWords(*content));
    summary.reason = "It holds " + words + "; read as " + words + ".";
  }
}

}  // namespace

FileKind fileKindOf(ByteSource& file, const fs::path& name) {
  const auto content = formats::contentKindOf(file.read(0, formats::kindTellingBytes));
  return content ? summaryKindOf(*content) : fileKindOf(name);
}

FileKind fileKindOf(const fs::path& file) {
  const std::string extension = lowerExtension(file);
  if (extension == ".ico") return FileKind::iconFile;
  if (extension == ".cur") return FileKind::cursorFile;
  if (extension == ".ani") return FileKind::animatedCursor;
  if (extension == ".wav") return FileKind::wave;
  if (extension == ".exe" || extension == ".dll" || extension == ".ocx" || extension == ".cpl" || extension == ".scr")
    return FileKind::module;
  return FileKind::other;
}

FileSummary summarizeSource(const std::shared_ptr<ByteSource>& source, FileKind kind) {
  FileSummary summary;
  summary.kind = kind;
  summary.access = Access::read;
  summary.size = source->size();
  try {
    summarizeContent(source, summary);
  } catch (const std::exception& error) {
    summary.reason = std::string("The file could not be read: ") + error.what() + ".";
  }
  return summary;
}

FileSummary summarizeFile(const fs::path& file, std::optional<FileKind> kind) {
  FileSummary summary;
  summary.kind = kind.value_or(fileKindOf(file));
  auto opened = formats::FileSource::open(file, summaryReadLimit);
  if (!opened.source) {
    struct stat info {};
    if (::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
      summary.access = Access::unreadable;
      summary.size = static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0));
    }
    summary.reason = opened.error;
    return summary;
  }
  summary.access = Access::read;
  summary.size = opened.source->size();
  std::shared_ptr<formats::FileSource> source = std::move(opened.source);
  try {
    if (!kind) chooseKind(*source, file, summary);
    summarizeContent(source, summary);
  } catch (const std::exception& error) {
    summary.reason = std::string("The file could not be read: ") + error.what() + ".";
  }
  summary.bytesRead = source->bytesRead();
  return summary;
}

}  // namespace delvix::browse
