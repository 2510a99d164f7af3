#pragma once

#include "gfx/image.h"
#include "model/document.h"

namespace delvix::preview {

// The side of the square every thumbnail fits in. Pictures up to this size are shown at their own size, so
// that 16, 24, 32 and 48 pixel pictures keep their proportions to each other; larger ones are scaled down.
inline constexpr int thumbnailBox = 48;

// `image` (straight alpha) scaled down to fit a `box` x `box` square with its aspect kept: each target pixel
// averages the source area it covers, weighted by alpha (premultiplied), so that transparent pixels lend
// no colour to their neighbours. An image that fits already is returned as it is.
gfx::Image fitInBox(const gfx::Image& image, int box);

// Picture `index` as a thumbnail: the whole picture with its own alpha, fitted to `box` and centred on a
// transparent `box` x `box` square; the placeholder, centred, when the picture cannot be drawn.
gfx::Image makeThumbnail(const model::Document& document, int index, int box = thumbnailBox);

}  // namespace delvix::preview
