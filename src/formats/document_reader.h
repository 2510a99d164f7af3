#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "formats/content_kind.h"
#include "formats/reporter.h"
#include "model/document.h"
#include "model/module_state.h"

namespace delvix::formats {

// The settings that shape what a reader builds.
struct ReadSettings {
  model::ShowSettings show;
  model::ResourceKinds resources;
};

enum class ReadOutcome { read, refused, unsupportedKind };

// Reads `path` into an empty document with the reader that its first bytes call for, or its extension when they
// call for none (see chooseFileKind); a disagreement between the two is logged. "-" reads standard input by its
// first bytes alone. What is not a regular file is refused with its kind; a file that cannot be opened is
// refused with the system's reason.
ReadOutcome readDocument(const std::filesystem::path& path, model::Document& document, const ReadSettings& settings,
                         Reporter& reporter);

}  // namespace delvix::formats
