#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "gfx/image.h"

namespace delvix::codecs {

inline constexpr std::size_t pngSignatureSize = 8;
// The widest and highest PNG image decoded when no other limit is given.
inline constexpr int largestPngSide = 4096;

// What the PNG header (IHDR) says of an image.
struct PngInfo {
  int width = 0;
  int height = 0;
  int bitDepth = 0;
  int channels = 0;  // 1 grey or palette, 2 grey + alpha, 3 RGB, 4 RGBA
  int bitsPerPixel() const { return bitDepth * channels; }
};

bool hasPngSignature(std::span<const std::uint8_t> bytes);
std::optional<PngInfo> readPngInfo(std::span<const std::uint8_t> bytes);

// Decodes to straight (not premultiplied) colours with alpha. Images wider or higher than
// `maxDimension` are refused, so a small file cannot demand a huge allocation.
std::optional<gfx::Image> decodePng(std::span<const std::uint8_t> bytes, int maxDimension = largestPngSide);

}  // namespace delvix::codecs
