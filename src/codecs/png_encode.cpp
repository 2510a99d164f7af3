#include "codecs/png_encode.h"

#include <png.h>

#include <cstring>

namespace delvix::codecs {

std::optional<std::vector<std::uint8_t>> encodePng(const gfx::Image& source) {
  if (source.empty()) return std::nullopt;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(source.width());
  image.height = static_cast<png_uint_32>(source.height());
  image.format = PNG_FORMAT_BGRA;

  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, source.pixels().data(), 0, nullptr)) return std::nullopt;
  std::vector<std::uint8_t> out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, source.pixels().data(), 0, nullptr)) return std::nullopt;
  out.resize(size);
  return out;
}

}  // namespace delvix::codecs
