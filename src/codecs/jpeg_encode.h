#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/image.h"

namespace delvix::codecs {

struct JpegResult {
  std::vector<std::uint8_t> bytes;
  std::string error;  // libjpeg's own words when it refused the image; empty on success
};

// A baseline JPEG file of the image's colours at quality 100 without chroma subsampling (4:4:4), made in
// memory. The library's errors come back in `error`; it never ends the program.
JpegResult encodeJpeg(const gfx::Image& image);

}  // namespace delvix::codecs
