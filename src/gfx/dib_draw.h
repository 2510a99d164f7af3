#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "gfx/bitmap_header.h"
#include "gfx/image.h"

namespace delvix::gfx {

using ConstBytes = std::span<const std::uint8_t>;

// What drawing needs of a device-independent bitmap: its size, bits per pixel, palette and colour masks.
// `height` is the image height (for icons and cursors, half the stored biHeight).
struct DrawingHeader {
  int width = 0;
  int height = 0;
  int bitCount = 0;
  std::vector<Pixel> palette;  // from blue, green, red, reserved entries; alpha set to 255
  // The masks of 16- and 32-bit bit-field rows; without them 16 bits are 5-5-5 and 32 bits B, G, R, A.
  std::optional<ChannelMasks> masks;

  // Builds the header from a bitmap header block (40 bytes or a longer kind) and the colour entries
  // (4 bytes each, blue, green, red, reserved). `halveHeight` for images that carry a mask.
  static DrawingHeader fromBitmapInfo(ConstBytes bitmapInfo, ConstBytes colourEntries, bool halveHeight);

  int rowStride() const;
  // The colour of pixel (x, y), y counted from the top; missing row bytes read as 0.
  Pixel pixel(ConstBytes rows, int x, int y) const;
  // The colours of pixels 0 .. out.size() - 1 of row y (from the top).
  void decodeRow(ConstBytes rows, int y, std::span<Pixel> out) const;
  // The alpha of a 32-bit pixel (its fourth byte, or what its alpha mask picks); 255 for other depths and
  // for masks without alpha.
  std::uint8_t pixelAlpha(ConstBytes rows, int x, int y) const;
};

int colourRowStride(int width, int bitCount);
int maskRowStride(int width);

// A target of width x height filled with the transparent key RGB(254, 254, 254).
Image prepareCanvas(int width, int height);

// (target AND mask) XOR colour, each stretched from the image size to targetWidth x targetHeight.
// Mask bit 0 paints the colour, mask bit 1 lets the target show through (inverted by a non-black colour).
void drawMaskedImage(Image& target, int targetWidth, int targetHeight, ConstBytes maskRows, ConstBytes colourRows,
                     const DrawingHeader& header);

// `source` over `target` with the source's straight (not premultiplied) alpha A: each colour channel
// becomes (S * A + D * (255 - A)) / 255, rounded; the result is opaque over an opaque target.
Pixel blendOver(Pixel target, Pixel source);

// Blends the colour rows onto the target through their per-pixel alpha (blendOver), stretched the same
// way. The colours are taken as stored, not as premultiplied by their alpha, as icon images keep them.
// Images of fewer than 32 bits per pixel are opaque.
void drawWithAlpha(Image& target, int targetWidth, int targetHeight, ConstBytes colourRows,
                   const DrawingHeader& header);

// Copies `source` onto `target` at (0, 0) without scaling, cut to the target.
void copyInto(Image& target, const Image& source);

}  // namespace delvix::gfx
