#pragma once

#include <vector>

#include "gfx/image.h"

// The fixed palettes of the colour reductions, as opaque colours.
namespace delvix::codecs::gif {

// The 6 x 6 x 6 cube of the web-safe colours (each channel 0, 51, ..., 255), red slowest.
std::vector<gfx::Pixel> netscapePalette();

// Black and white.
std::vector<gfx::Pixel> monochromePalette();

// `count` (at least 2) greys evenly spaced from black to white.
std::vector<gfx::Pixel> grayPalette(int count);

// The greys of the Windows system palette: black, 128, 192 and white.
std::vector<gfx::Pixel> windowsGrayPalette();

// The 20 static colours of the Windows system palette, in its order (the first ten, then the last ten).
std::vector<gfx::Pixel> windows20Palette();

// A Windows halftone palette of `entries` colours (at most 256): the first ten static colours, the web cube
// without the eight corners the static colours already hold (208 colours), 28 greys evenly spaced between
// black and white, and the last ten static colours. A shorter palette leaves out the lightest greys.
std::vector<gfx::Pixel> windowsHalftonePalette(int entries = 256);

// The first `count` (at most 20) static Windows colours in the order an optimised palette reserves them:
// black and white, the six bright primaries and secondaries, then the greys and the dark and pastel colours.
std::vector<gfx::Pixel> reservedWindowsColours(int count);

}  // namespace delvix::codecs::gif
