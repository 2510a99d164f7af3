#pragma once

#include <cstddef>
#include <vector>

#include "convert/xcursor_conversion.h"
#include "gfx/image.h"
#include "model/document.h"

namespace delvix::convert {

// Which pixels of picture `index` invert the screen under them (mask 1 over a colour that is not black),
// row by row from the top, for a picture whose straight rendering `straight` drew them transparent. Empty
// when the picture has none.
std::vector<bool> invertingPixels(const model::Document& document, int index, const gfx::Image& straight);

// Draws the inverting pixels of `image` as `how` says: opaque black with the transparent pixels around
// them opaque white (so the shape shows on dark and light ground alike), or left transparent. Returns how
// many pixels inverted.
std::size_t drawInvertingPixels(gfx::Image& image, const std::vector<bool>& inverting, InvertedPixels how);

}  // namespace delvix::convert
