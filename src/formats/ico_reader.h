#pragma once

#include <filesystem>
#include <string_view>

#include "formats/byte_reader.h"
#include "formats/reporter.h"
#include "model/document.h"

namespace delvix::formats {

inline constexpr std::size_t iconHeaderSize = 6;
inline constexpr std::size_t iconDirEntrySize = 16;
// The top-level node that keeps, as u32 length + bytes, what an icon file holds after its last image.
inline constexpr std::string_view trailingDataNode = "trailing_data";

// Reads an icon (.ico) or cursor (.cur) file into an empty document: the "header" node with its
// "icon_dir_" n entries, one "picture_" n per entry, the thumbnails and the size and bit-count lists.
// Returns false when the file is refused or its directory is damaged; what was read stays.
bool readIconFile(Bytes file, model::Document& document, const model::ShowSettings& show, Reporter& reporter);
bool readIconFile(const std::filesystem::path& path, model::Document& document, const model::ShowSettings& show,
                  Reporter& reporter);

}  // namespace delvix::formats
