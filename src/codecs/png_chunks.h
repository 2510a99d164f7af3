#pragma once

#include <cstdint>
#include <span>

namespace delvix::codecs {

// True when the bytes are a whole PNG stream as a file holds it: the signature, an IHDR chunk that
// readPngInfo accepts, at least one IDAT chunk, every chunk within the bytes with the right CRC, and IEND
// last. What the image data inflate to is not looked at.
bool isIntactPng(std::span<const std::uint8_t> bytes);

}  // namespace delvix::codecs
