#include "codecs/png_chunks.h"

#include <zlib.h>

#include <algorithm>

#include "codecs/png_decode.h"

namespace delvix::codecs {

namespace {

std::uint32_t be32(std::span<const std::uint8_t> b, std::size_t at) {
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) |
         std::uint32_t{b[at + 3]};
}

}  // namespace

bool PngChunk::crcMatches() const {
  const auto* typeBytes = reinterpret_cast<const Bytef*>(type.data());
  uLong crc = crc32(0L, typeBytes, static_cast<uInt>(type.size()));
  // crc32 takes at most a uInt at a time.
  for (std::size_t done = 0; done < data.size();) {
    const auto piece = static_cast<uInt>(std::min<std::size_t>(data.size() - done, 1u << 30));
    crc = crc32(crc, data.data() + done, piece);
    done += piece;
  }
  return crc == storedCrc;
}

std::vector<PngChunk> pngChunks(std::span<const std::uint8_t> bytes) {
  std::vector<PngChunk> chunks;
  if (!hasPngSignature(bytes)) return chunks;
  for (std::size_t at = pngSignatureSize; bytes.size() - at >= 12;) {
    const std::size_t length = be32(bytes, at);
    if (length > bytes.size() - at - 12) break;
    chunks.push_back({std::string_view(reinterpret_cast<const char*>(bytes.data() + at + 4), 4),
                      bytes.subspan(at + 8, length), be32(bytes, at + 8 + length), at + 12 + length});
    at += 12 + length;
  }
  return chunks;
}

bool isIntactPng(std::span<const std::uint8_t> bytes) {
  if (!readPngInfo(bytes)) return false;
  bool imageData = false;
  for (const PngChunk& chunk : pngChunks(bytes)) {
    if (!chunk.crcMatches()) return false;
    if (chunk.type == "IDAT") imageData = true;
    if (chunk.type == "IEND") return imageData && chunk.end == bytes.size();
  }
  return false;
}

}  // namespace delvix::codecs
