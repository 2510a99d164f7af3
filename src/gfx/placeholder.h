#pragma once

#include "gfx/image.h"

namespace delvix::gfx {

inline constexpr int thumbnailSize = 32;

// The 32 x 32 picture that stands for an image that could not be decoded: "none" written at (4, 8),
// black on white, in a small built-in typeface.
Image makePlaceholder();

}  // namespace delvix::gfx
