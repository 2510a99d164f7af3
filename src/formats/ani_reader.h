#pragma once

#include <filesystem>

#include "formats/byte_reader.h"
#include "formats/reporter.h"
#include "model/document.h"

namespace delvix::formats {

// Reads an animated cursor (a RIFF form "ACON") into an empty document: "RIFF_ACON" with the INFO
// list, the header, the rate and sequence tables and one "picture_" n per "icon" chunk of the frame
// list; the animation state, the thumbnails (at the first frame's size) and the bit-count list.
// Returns true when every "icon" chunk of the frame list was read; what was read stays either way.
bool readAnimatedCursor(Bytes file, model::Document& document, const model::ShowSettings& show, Reporter& reporter);
bool readAnimatedCursor(const std::filesystem::path& path, model::Document& document, const model::ShowSettings& show,
                        Reporter& reporter);

}  // namespace delvix::formats
