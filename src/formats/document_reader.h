#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "formats/reporter.h"
#include "model/document.h"
#include "model/module_state.h"

namespace delvix::formats {

// The settings that shape what a reader builds.
struct ReadSettings {
  model::ShowSettings show;
  model::ResourceKinds resources;
};

// The kind of file that an extension (".ico", ".CUR", ...) names, compared without regard to case.
std::optional<model::FileKind> fileKindOfExtension(std::string extension);

enum class ReadOutcome { read, refused, unsupportedKind };

// Reads `path` into an empty document with the reader that its extension calls for; "-" reads standard input
// with the reader that its first bytes call for. What is not a regular file is refused with its kind.
ReadOutcome readDocument(const std::filesystem::path& path, model::Document& document, const ReadSettings& settings,
                         Reporter& reporter);

}  // namespace delvix::formats
