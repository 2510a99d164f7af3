#pragma once

#include <string>

#include "gfx/image.h"
#include "model/document.h"

namespace delvix::preview {

// One picture drawn at its natural size onto a canvas filled with gfx::transparentKey.
struct Rendering {
  // Empty (0 x 0) when there is nothing to show: a compressed picture that no decoder could read, or an
  // error below.
  gfx::Image image;
  // The text of the error dialog when the picture cannot be drawn ("Error from color bitmap.", ...);
  // the caller then keeps what it showed before.
  std::string error;
  // A line for the message log only, when the picture cannot be found or decoded.
  std::string logLine;
  // A line for the message log about a picture that was still drawn, though not every pixel as it is
  // stored; the picture is fine to show and save.
  std::string notice;

  bool ok() const { return error.empty() && logLine.empty(); }
};

// The most pixels a picture may have to be drawn (a canvas of 128 MiB).
inline constexpr std::size_t largestRenderedPixels = std::size_t{32} << 20;

// The "picture_" node of picture `index` (0-based), or null.
const model::Node* pictureNode(const model::Document& document, int index);

// The picture drawn plainly: colour rows through the AND mask, (canvas AND mask) XOR colour; without a
// mask the colour rows opaque at the header's full height; PNG data with its fully transparent pixels
// left to the canvas and the others opaque. Only the picture's own nodes are looked at.
Rendering renderPlain(const model::Document& document, int index);

// The picture blended through its per-pixel alpha onto the canvas (straight alpha, source over).
Rendering renderAlpha(const model::Document& document, int index);

// True when the picture has per-pixel alpha: a 32-bit uncompressed header followed by "color_bitmap", or
// PNG data with an alpha channel or a transparency chunk.
bool hasPerPixelAlpha(const model::Document& document, int index);

}  // namespace delvix::preview
