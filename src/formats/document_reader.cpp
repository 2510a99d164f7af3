#include "formats/document_reader.h"

#include <algorithm>
#include <cctype>

#include "formats/ico_reader.h"

namespace delvix::formats {

std::optional<model::FileKind> fileKindOfExtension(std::string extension) {
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".ico" || extension == ".cur") return model::FileKind::iconFile;
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
    default:
      break;
  }
  return ok ? ReadOutcome::read : ReadOutcome::refused;
}

}  // namespace delvix::formats
