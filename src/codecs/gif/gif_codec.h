#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
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

// dmNearest takes each pixel's nearest entry; the others spread each pixel's error over its unvisited
// neighbours with their named kernels (Sierra the three-row one), rows in serpentine order.
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
  // Which pixels become the transparent entry: those of the canvas key colour (a picture drawn on the key
  // canvas), or those whose own alpha is below 128 (a picture with its own alpha).
  bool transparentBelowHalfAlpha = false;
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

// The most pixels a picture may have to be reduced, drawn back or written.
inline constexpr std::size_t largestPixelCount = std::size_t{32} << 20;

// Reduces the picture's colours (alpha ignored); pixels of the key colour (or of alpha below 128, as the
// settings say) get the transparent entry and are left out of the reduction; entries that no pixel uses are dropped. An
// empty picture, or one of more than largestPixelCount pixels, gives an empty result (width 0).
//
// The palettes: rmNetscape the 216 web colours; rmMonochrome black and white; rmGrayScale 2^bits greys;
// rmWindowsGray black, 128, 192 and white; rmWindows20 the 20 static Windows colours; rmWindows256 the
// Windows halftone palette (see palettes.h). rmQuantize chooses 2^bits colours from the picture, the
// transparent entry counted among them; rmQuantizeWindows the same with the static Windows colours reserved
// (at most half the palette); rmNone and rmPalette are rmQuantize at 8 bits. A picture with no more colours
// than the palette holds keeps its colours exactly. The grey palettes are matched to each pixel's luma. The
// whole table never exceeds 256 entries, so a fixed palette of 256 loses one colour when a transparent entry
// is needed. reductionBits is taken in 1..8.
IndexedImage reduceColours(const gfx::Image& image, const Settings& settings);

// True when the picture can be drawn and written: a size within 1..largestPixelCount pixels, one index per
// pixel, 1 to 256 palette entries, and every index (and the transparent one) inside the palette.
bool isWellFormed(const IndexedImage& image);

// The reduced picture drawn back as a bitmap (transparent pixels as the key colour, the others opaque), for a
// preview; empty when the picture is not well formed.
gfx::Image renderIndexed(const IndexedImage& image);

// A GIF89a file of the picture: a global colour table (2 to 256 entries, a power of two), a graphic control
// extension naming the transparent entry when there is one, and one image compressed with LZW, or the "RLE"
// variant (a clear code before the code width would grow, so every code has the starting width) that any
// decoder reads. Empty when the picture is not well formed or is wider or higher than 65535.
std::vector<std::uint8_t> encodeGif(const IndexedImage& image, Compression compression);

// One frame of an animated GIF: which picture it shows and for how many hundredths of a second (0 to 65535).
struct GifFrame {
  std::size_t picture = 0;
  int delay = 0;
};

// A GIF89a animation that plays `frames` in order and starts again without end (the NETSCAPE2.0 loop
// extension). Every picture has its own (local) colour table; each frame has a graphic control extension with
// its delay, its transparent entry and "restore to background", so transparent pixels never show the frame
// before. A picture is written once per frame that shows it. Empty when a picture is not well formed, the
// pictures differ in size or exceed 65535, or a frame names no picture.
std::vector<std::uint8_t> encodeAnimatedGif(std::span<const IndexedImage> pictures, std::span<const GifFrame> frames,
                                            Compression compression);

}  // namespace delvix::codecs::gif
