#include <cstddef>

#include "codecs/gif/gif_codec.h"

namespace delvix::codecs::gif {

bool isWellFormed(const IndexedImage& image) {
  if (image.width <= 0 || image.height <= 0) return false;
  const auto pixels = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
  if (pixels > largestPixelCount || image.indexes.size() != pixels) return false;
  if (image.palette.empty() || image.palette.size() > 256) return false;
  if (image.transparentIndex &&
      (*image.transparentIndex < 0 || static_cast<std::size_t>(*image.transparentIndex) >= image.palette.size()))
    return false;
  for (std::uint8_t index : image.indexes)
    if (index >= image.palette.size()) return false;
  return true;
}

}  // namespace delvix::codecs::gif
