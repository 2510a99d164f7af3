#include "codecs/png_alpha.h"

#include <png.h>

#include <cstring>

#include "codecs/png_decode.h"

namespace delvix::codecs {

bool pngHasAlpha(std::span<const std::uint8_t> bytes) {
  if (!hasPngSignature(bytes)) return false;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  const bool read = png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) != 0;
  const bool alpha = read && (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  png_image_free(&image);
  return alpha;
}

}  // namespace delvix::codecs
