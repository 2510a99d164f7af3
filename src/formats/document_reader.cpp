#include "formats/document_reader.h"

#include <algorithm>
#include <cctype>

#include "formats/ani_reader.h"
#include "formats/ico_reader.h"
#include "formats/module_reader.h"
#include "formats/wav_reader.h"

namespace delvix::formats {

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

ReadOutcome readDocument(const std::filesystem::path& path, model::Document& document, const ReadSettings& settings,
                         Reporter& reporter) {
  auto kind = fileKindOfExtension(path.extension().string());
  if (!kind) {
    reporter.log("Unsupported file type: " + path.extension().string());
    return ReadOutcome::unsupportedKind;
  }
  document.path = path.string();
  bool ok = false;
  switch (*kind) {
    case model::FileKind::iconFile:
      ok = readIconFile(path, document, settings.show, reporter);
      break;
    case model::FileKind::animatedCursor:
      ok = readAnimatedCursor(path, document, settings.show, reporter);
      break;
    case model::FileKind::wave:
      ok = readWaveFile(path, document, reporter);
      break;
    case model::FileKind::module:
      ok = readModule(path, document, settings.show, settings.resources, reporter);
      break;
    default:
      break;
  }
  return ok ? ReadOutcome::read : ReadOutcome::refused;
}

}  // namespace delvix::formats
