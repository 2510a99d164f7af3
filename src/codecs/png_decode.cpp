#include "codecs/png_decode.h"

#include <png.h>

#include <cstring>

namespace delvix::codecs {

namespace {

constexpr std::uint8_t signature[pngSignatureSize] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

std::uint32_t be32(std::span<const std::uint8_t> b, std::size_t at) {
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) |
         std::uint32_t{b[at + 3]};
}

int channelsOfColourType(int colourType) {
  switch (colourType) {
    case 0: return 1;
    case 2: return 3;
    case 3: return 1;
    case 4: return 2;
    case 6: return 4;
    default: return 0;
  }
}

}  // namespace

bool hasPngSignature(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= pngSignatureSize && std::memcmp(bytes.data(), signature, pngSignatureSize) == 0;
}

std::optional<PngInfo> readPngInfo(std::span<const std::uint8_t> bytes) {
  // Signature, then the IHDR chunk: length 13, "IHDR", width, height, depth, colour type, ...
  if (!hasPngSignature(bytes) || bytes.size() < 8 + 8 + 13) return std::nullopt;
  if (be32(bytes, 8) != 13 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) return std::nullopt;
  PngInfo info;
  std::uint32_t width = be32(bytes, 16);
  std::uint32_t height = be32(bytes, 20);
  if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return std::nullopt;
  info.width = static_cast<int>(width);
  info.height = static_cast<int>(height);
  info.bitDepth = bytes[24];
  info.channels = channelsOfColourType(bytes[25]);
  if (info.channels == 0) return std::nullopt;
  return info;
}

std::optional<gfx::Image> decodePng(std::span<const std::uint8_t> bytes, int maxDimension) {
  auto info = readPngInfo(bytes);
  if (!info || info->width > maxDimension || info->height > maxDimension) return std::nullopt;

  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
    png_image_free(&image);
    return std::nullopt;
  }
  if (image.width != static_cast<png_uint_32>(info->width) || image.height != static_cast<png_uint_32>(info->height)) {
    png_image_free(&image);
    return std::nullopt;
  }
  // B, G, R, A in memory is the byte order of gfx::Pixel.
  image.format = PNG_FORMAT_BGRA;
  gfx::Image result(info->width, info->height);
  if (!png_image_finish_read(&image, nullptr, result.pixels().data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  return result;
}

}  // namespace delvix::codecs
