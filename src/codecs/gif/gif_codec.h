#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "gfx/image.h"

namespace delvix::codecs::gif {

// The colour reductions, with the codec's numbering.
enum class ColorReduction {
  rmNone = 0,
  rmWindows20 = 1,
  rmWindows256 = 2,
  rmWindowsGray = 3,
  rmMonochrome = 4,
  rmGrayScale = 5,
  rmNetscape = 6,
  rmQuantize = 7,
  rmQuantizeWindows = 8,
  rmPalette = 9
};

enum class DitherMode {
  dmNearest = 0,
  dmFloydSteinberg = 1,
  dmStucki = 2,
  dmSierra = 3,
  dmJaJuNI = 4,
  dmSteveArche = 5,
  dmBurkes = 6
};

enum class Compression { gcLZW = 0, gcRLE = 1 };

struct Settings {
  ColorReduction reduction = ColorReduction::rmQuantize;
  DitherMode dither = DitherMode::dmNearest;
  // 2^bits colours (3 to 8) for rmQuantize, rmGrayScale and rmQuantizeWindows.
  int reductionBits = 7;
  Compression compression = Compression::gcLZW;
};

// A picture as palette indexes, top row first.
struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<gfx::Pixel> palette;  // opaque colours; at most 256
  std::vector<std::uint8_t> indexes;
  // The entry that stands for the canvas key colour (gfx::transparentKey), written as transparent.
  std::optional<int> transparentIndex;
};

// Reduces the picture's colours; pixels of the key colour get the transparent entry and are left out of
// the reduction; entries that no pixel uses are dropped.
IndexedImage reduceColours(const gfx::Image& image, const Settings& settings);

// The reduced picture drawn back as a bitmap (transparent pixels as the key colour), for a preview.
gfx::Image renderIndexed(const IndexedImage& image);

// A GIF89a file of the picture: LZW, or the "RLE" variant (a clear code before the code width would grow, so
// every code has the starting width) that any decoder reads.
std::vector<std::uint8_t> encodeGif(const IndexedImage& image, Compression compression);

}  // namespace delvix::codecs::gif
