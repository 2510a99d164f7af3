#pragma once

#include <filesystem>

#include "formats/file_save.h"
#include "formats/reporter.h"
#include "model/document.h"

namespace delvix::formats {

// An open animated cursor as a RIFF "ACON" file: the INFO list (items in table order), "anih", "rate"
// and "seq " with every entry the document holds, the frame list and the chunks kept without
// interpretation, in the order the file held them; a chunk the file did not have goes where it usually
// stands (a new INFO list right after "anih"). Every size describes what is written.
WrittenFile writeAniFile(const model::Document& document);

bool saveAniFile(const model::Document& document, const std::filesystem::path& target, Reporter& reporter);

}  // namespace delvix::formats
