#pragma once

#include <filesystem>

#include "formats/byte_reader.h"
#include "formats/reporter.h"
#include "model/document.h"
#include "model/module_state.h"

namespace delvix::formats {

// Reads the icon groups, cursor groups and bitmaps of a program module (.exe, .dll, ...) into an
// empty document: one top-level resource node per resource with the pieces of its images below it,
// one picture entry per "picture_" n node, and the per-kind counters and labels. Nothing of the
// module is run; its bytes are only parsed. Returns false when the file is not a module with resources.
bool readModule(Bytes file, model::Document& document, const model::ShowSettings& show,
                const model::ResourceKinds& kinds, Reporter& reporter);
bool readModule(const std::filesystem::path& path, model::Document& document, const model::ShowSettings& show,
                const model::ResourceKinds& kinds, Reporter& reporter);

}  // namespace delvix::formats
