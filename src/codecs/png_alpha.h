#pragma once

#include <cstdint>
#include <span>

namespace delvix::codecs {

// True when a PNG image carries transparency: a colour type with an alpha channel or a tRNS chunk.
// Only the chunks before the image data are read. False for bytes that are no PNG.
bool pngHasAlpha(std::span<const std::uint8_t> bytes);

}  // namespace delvix::codecs
