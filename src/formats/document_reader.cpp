#include "formats/document_reader.h"

#include <cerrno>
#include <cstring>

#include "formats/ani_reader.h"
#include "formats/ico_reader.h"
#include "formats/module_reader.h"
#include "formats/regular_file.h"
#include "formats/standard_input.h"
#include "formats/wav_reader.h"
#include "formats/xcursor/xcursor_document.h"

namespace delvix::formats {

namespace {

bool readWith(model::FileKind kind, const std::filesystem::path& path, model::Document& document,
              const ReadSettings& settings, Reporter& reporter) {
  switch (kind) {
    case model::FileKind::iconFile: return readIconFile(path, document, settings.show, reporter);
    case model::FileKind::animatedCursor: return readAnimatedCursor(path, document, settings.show, reporter);
    case model::FileKind::wave: return readWaveFile(path, document, reporter);
    case model::FileKind::module: return readModule(path, document, settings.show, settings.resources, reporter);
    case model::FileKind::xcursor: return xcursor::readXcursorDocument(path, document, reporter);
    case model::FileKind::none: break;
  }
  return false;
}

// Standard input, read whole; its kind comes from what it begins with.
ReadOutcome readStandardInput(model::Document& document, const ReadSettings& settings, Reporter& reporter) {
  std::string failure;
  const auto content = standardInput(&failure);
  if (!content) {
    reporter.error(failure);
    return ReadOutcome::refused;
  }
  const auto kind = fileKindOfContent(*content);
  if (!kind) {
    reporter.log("Unsupported file type: standard input is not an icon, cursor, animated cursor, wave or module");
    return ReadOutcome::unsupportedKind;
  }
  document.path = std::string(standardInputName);
  bool ok = false;
  switch (*kind) {
    case model::FileKind::iconFile: ok = readIconFile(*content, document, settings.show, reporter); break;
    case model::FileKind::animatedCursor: ok = readAnimatedCursor(*content, document, settings.show, reporter); break;
    case model::FileKind::wave:
      ok = readWaveFile(model::SharedBytes(content, content->bytes()), document, reporter);
      break;
    case model::FileKind::module:
      ok = readModule(*content, document, settings.show, settings.resources, reporter);
      break;
    case model::FileKind::xcursor: ok = xcursor::readXcursorDocument(*content, document, reporter); break;
    case model::FileKind::none: break;
  }
  return ok ? ReadOutcome::read : ReadOutcome::refused;
}

}  // namespace

ReadOutcome readDocument(const std::filesystem::path& path, model::Document& document, const ReadSettings& settings,
                         Reporter& reporter) {
  if (path == standardInputName) return readStandardInput(document, settings, reporter);
  // A FIFO, a device or a folder is refused before anything waits on it, with what it is. A file that cannot
  // be opened is left to the reader its extension calls for, which says so in its own words and the system's.
  if (std::error_code error; std::filesystem::exists(path, error)) {
    if (std::filesystem::is_directory(path, error)) {
      reporter.error("Could not open this file: " + std::string(std::strerror(EISDIR)));
      return ReadOutcome::refused;
    }
    if (auto problem = inputProblem(path)) {
      reporter.error(path.string() + ": " + *problem);
      return ReadOutcome::refused;
    }
  }
  const FileKindChoice choice = chooseFileKind(path);
  if (!choice.kind) {
    if (!choice.openError.empty()) {
      reporter.error("Could not open this file: " + choice.openError);
      return ReadOutcome::refused;
    }
    reporter.log("Unsupported file type: " + path.string() +
                 " is not an icon, cursor, animated cursor, wave or module");
    return ReadOutcome::unsupportedKind;
  }
  if (!choice.mismatch.empty()) reporter.log(choice.mismatch);
  const model::FileKind kind = *choice.kind;
  document.path = path.string();
  return readWith(kind, path, document, settings, reporter) ? ReadOutcome::read : ReadOutcome::refused;
}

}  // namespace delvix::formats
