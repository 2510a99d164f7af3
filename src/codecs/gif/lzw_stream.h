#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace delvix::codecs::gif {

// The GIF image data of `indexes` (each below 2^minCodeSize, minCodeSize 2 to 8) as packed codes, low bit
// first, not yet cut into sub-blocks. The stream opens with a clear code and ends with the end code.
//
// Plain LZW lets the code width grow to 12 bits and clears the table when it is full. With `holdWidth` the
// table is cleared just before a decoder would widen its codes, so every code keeps the starting width
// minCodeSize + 1: the "RLE" stream, which any decoder reads.
std::vector<std::uint8_t> lzwCodeStream(std::span<const std::uint8_t> indexes, int minCodeSize, bool holdWidth);

}  // namespace delvix::codecs::gif
