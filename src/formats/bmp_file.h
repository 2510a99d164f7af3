#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "formats/byte_reader.h"

namespace delvix::formats {

// A .bmp file around a packed device-independent bitmap (header, colour table or bit-field masks,
// pixels), as a bitmap resource stores it: the 14-byte file header is put in front, the bitmap is
// copied unchanged. nullopt when the bitmap header cannot be read.
std::optional<std::vector<std::uint8_t>> bmpFileFromPackedBitmap(Bytes packed);

}  // namespace delvix::formats
