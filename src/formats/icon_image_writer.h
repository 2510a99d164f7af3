#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "model/node.h"

namespace delvix::formats {

// The image record of a picture node as it goes into an icon file: the bitmap header, the colour
// table (below 16 bits per pixel), the colour rows and the mask rows without their block heads; or
// the PNG data as it was read; or the header and the kept bytes of an image that was not decoded.
// A "hot_pot" child is not part of the record. nullopt when a part the header calls for is missing.
std::optional<std::vector<std::uint8_t>> iconImageRecord(const model::Node& picture);

// The data of a block with a 4-byte head (u32 length, or u16 bits + u16 stride + u32 size), cut to
// what the block holds.
std::span<const std::uint8_t> blockData(const model::Block& block, std::size_t headSize);

}  // namespace delvix::formats
