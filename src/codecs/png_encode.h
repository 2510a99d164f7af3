#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "gfx/image.h"

namespace delvix::codecs {

// PNG bytes of the image, with its alpha channel.
std::optional<std::vector<std::uint8_t>> encodePng(const gfx::Image& image);

}  // namespace delvix::codecs
