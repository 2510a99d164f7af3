#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace delvix::codecs {

// One chunk of a PNG stream: its type, its data and where the next chunk starts.
struct PngChunk {
  std::string_view type;
  std::span<const std::uint8_t> data;
  std::uint32_t storedCrc = 0;
  std::size_t end = 0;  // the offset past its CRC

  // Whether the stored CRC is the CRC of the type and the data.
  bool crcMatches() const;
};

// The chunks after the signature, in order, as far as each fits in the bytes (the type views the bytes).
// Empty when the bytes do not start with the PNG signature.
std::vector<PngChunk> pngChunks(std::span<const std::uint8_t> bytes);

// True when the bytes are a whole PNG stream as a file holds it: the signature, an IHDR chunk that
// readPngInfo accepts, at least one IDAT chunk, every chunk within the bytes with the right CRC, and IEND
// last. What the image data inflate to is not looked at.
bool isIntactPng(std::span<const std::uint8_t> bytes);

}  // namespace delvix::codecs
