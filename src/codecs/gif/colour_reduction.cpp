#include <algorithm>

#include "codecs/gif/colour_histogram.h"
#include "codecs/gif/dithering.h"
#include "codecs/gif/gif_codec.h"
#include "codecs/gif/palettes.h"
#include "codecs/gif/quantizer.h"

namespace delvix::codecs::gif {
namespace {

constexpr int largestTable = 256;
constexpr int windowsStaticCount = 20;

bool isGrey(ColorReduction reduction) {
  return reduction == ColorReduction::rmMonochrome || reduction == ColorReduction::rmGrayScale ||
         reduction == ColorReduction::rmWindowsGray;
}

std::uint8_t luma(gfx::Pixel p) {
  return static_cast<std::uint8_t>((299 * gfx::red(p) + 587 * gfx::green(p) + 114 * gfx::blue(p) + 500) / 1000);
}

// The picture as the reduction sees it: transparent pixels with alpha 0, the others opaque (as greys for the
// grey palettes).
gfx::Image workingPicture(const gfx::Image& image, bool grey, bool transparentBelowHalfAlpha) {
  auto transparent = [transparentBelowHalfAlpha](gfx::Pixel p) {
    return transparentBelowHalfAlpha ? gfx::alpha(p) < 128
                                     : gfx::withoutAlpha(p) == gfx::withoutAlpha(gfx::transparentKey);
  };
  gfx::Image working = image;
  for (gfx::Pixel& p : working.pixels()) {
    if (transparent(p)) {
      p = 0;
    } else if (grey) {
      const std::uint8_t level = luma(p);
      p = gfx::rgb(level, level, level);
    } else {
      p = gfx::withoutAlpha(p) | 0xFF000000u;
    }
  }
  return working;
}

// The palette of the opaque pixels; `capacity` is what the table leaves them (255 beside a transparent entry).
std::vector<gfx::Pixel> opaquePalette(const gfx::Image& working, const Settings& settings, int capacity) {
  const int chosenSize = 1 << std::clamp(settings.reductionBits, 1, 8);
  // The optimised palettes count the transparent entry among the chosen size; the fixed ones keep theirs.
  const int optimisedSize = chosenSize - (largestTable - capacity);
  switch (settings.reduction) {
    case ColorReduction::rmNetscape: return netscapePalette();
    case ColorReduction::rmMonochrome: return monochromePalette();
    case ColorReduction::rmGrayScale: return grayPalette(std::min(chosenSize, capacity));
    case ColorReduction::rmWindowsGray: return windowsGrayPalette();
    case ColorReduction::rmWindows20: return windows20Palette();
    case ColorReduction::rmWindows256: return windowsHalftonePalette(capacity);
    case ColorReduction::rmNone:
    case ColorReduction::rmPalette: return optimisedPalette(colourHistogram(working), capacity);
    case ColorReduction::rmQuantizeWindows: {
      const auto reserved = reservedWindowsColours(std::min(windowsStaticCount, chosenSize / 2));
      return optimisedPalette(colourHistogram(working), optimisedSize - static_cast<int>(reserved.size()), reserved);
    }
    case ColorReduction::rmQuantize: break;
  }
  return optimisedPalette(colourHistogram(working), optimisedSize);
}

// Drops the entries no pixel uses, keeping the order of the others.
void dropUnusedEntries(IndexedImage& image) {
  std::vector<bool> used(image.palette.size(), false);
  for (std::uint8_t index : image.indexes) used[index] = true;
  std::vector<std::uint8_t> renumbered(image.palette.size(), 0);
  std::vector<gfx::Pixel> kept;
  for (std::size_t i = 0; i < image.palette.size(); ++i) {
    if (!used[i]) continue;
    renumbered[i] = static_cast<std::uint8_t>(kept.size());
    kept.push_back(image.palette[i]);
  }
  for (std::uint8_t& index : image.indexes) index = renumbered[index];
  if (image.transparentIndex) image.transparentIndex = renumbered[static_cast<std::size_t>(*image.transparentIndex)];
  image.palette = std::move(kept);
}

}  // namespace

IndexedImage reduceColours(const gfx::Image& image, const Settings& settings) {
  const auto pixels = static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height());
  if (image.empty() || pixels > largestPixelCount || image.pixels().size() != pixels) return {};

  const gfx::Image working = workingPicture(image, isGrey(settings.reduction), settings.transparentBelowHalfAlpha);
  const bool hasTransparent =
      std::any_of(working.pixels().begin(), working.pixels().end(), [](gfx::Pixel p) { return gfx::alpha(p) == 0; });
  const int capacity = largestTable - (hasTransparent ? 1 : 0);

  IndexedImage result;
  result.width = image.width();
  result.height = image.height();
  result.palette = opaquePalette(working, settings, capacity);
  if (result.palette.size() > static_cast<std::size_t>(capacity))
    result.palette.resize(static_cast<std::size_t>(capacity));
  if (hasTransparent) result.transparentIndex = static_cast<int>(result.palette.size());
  result.indexes = mapToPalette(working, result.palette, settings.dither, result.transparentIndex);
  if (hasTransparent) result.palette.push_back(gfx::transparentKey | 0xFF000000u);
  dropUnusedEntries(result);
  return result;
}

gfx::Image renderIndexed(const IndexedImage& image) {
  if (!isWellFormed(image)) return {};
  gfx::Image picture(image.width, image.height);
  for (std::size_t i = 0; i < image.indexes.size(); ++i) {
    const int index = image.indexes[i];
    picture.pixels()[i] = index == image.transparentIndex
                              ? gfx::transparentKey
                              : gfx::withoutAlpha(image.palette[static_cast<std::size_t>(index)]) | 0xFF000000u;
  }
  return picture;
}

}  // namespace delvix::codecs::gif
