#pragma once

#include <filesystem>

#include "formats/file_save.h"
#include "formats/reporter.h"
#include "model/document.h"

namespace delvix::formats {

// An open animated cursor as a RIFF "ACON" file: the INFO list (items in table order), "anih",
// "rate", "seq ", the frame list, then the chunks kept without interpretation. Every size describes
// what is written; each frame is a one-image icon.
WrittenFile writeAniFile(const model::Document& document);

bool saveAniFile(const model::Document& document, const std::filesystem::path& target, Reporter& reporter);

}  // namespace delvix::formats
