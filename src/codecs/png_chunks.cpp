#include "codecs/png_chunks.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "codecs/png_decode.h"

namespace delvix::codecs {

namespace {

std::uint32_t be32(std::span<const std::uint8_t> b, std::size_t at) {
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) |
         std::uint32_t{b[at + 3]};
}

}  // namespace

bool isIntactPng(std::span<const std::uint8_t> bytes) {
  if (!readPngInfo(bytes)) return false;
  bool imageData = false;
  for (std::size_t at = pngSignatureSize; bytes.size() - at >= 12;) {
    const std::size_t length = be32(bytes, at);
    if (length > bytes.size() - at - 12) return false;
    const std::uint8_t* type = bytes.data() + at + 4;
    // The CRC covers the type and the data; crc32 takes at most a uInt at a time.
    uLong crc = crc32(0L, type, 4);
    for (std::size_t done = 0; done < length;) {
      const auto piece = static_cast<uInt>(std::min<std::size_t>(length - done, 1u << 30));
      crc = crc32(crc, type + 4 + done, piece);
      done += piece;
    }
    if (crc != be32(bytes, at + 8 + length)) return false;
    if (std::memcmp(type, "IDAT", 4) == 0) imageData = true;
    if (std::memcmp(type, "IEND", 4) == 0) return imageData && at + 12 + length == bytes.size();
    at += 12 + length;
  }
  return false;
}

}  // namespace delvix::codecs
