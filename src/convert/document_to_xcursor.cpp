#include <algorithm>
#include <charconv>
#include <map>
#include <string>

#include "convert/inverted_pixels.h"
#include "convert/xcursor_conversion.h"
#include "preview/frame_render.h"
#include "preview/hot_spot.h"
#include "preview/straight_render.h"

namespace delvix::convert {

namespace {

namespace xc = formats::xcursor;

// More steps than any animated cursor needs; a file that claims more is cut here, not allowed to make
// one image per claimed step.
constexpr std::size_t mostSteps = 1024;

struct Converted {
  gfx::Image image;
  xc::ImageChunk chunk;
};

std::string pictureName(int index) { return "picture_" + std::to_string(index + 1); }

// Picture `index` drawn with straight alpha and its inverting pixels drawn as asked; nullopt (reported) when
// it cannot be drawn or has no pixels.
std::optional<gfx::Image> pictureImage(const model::Document& document, int index, const ToXcursorOptions& options,
                                       formats::Reporter& reporter) {
  preview::Rendering rendering = preview::renderStraight(document, index);
  if (!rendering.ok() || rendering.image.empty()) {
    const std::string why = !rendering.logLine.empty() ? rendering.logLine : rendering.error;
    reporter.log(pictureName(index) + " is not converted: " + (why.empty() ? "it has no pixels." : why));
    return std::nullopt;
  }
  if (!rendering.notice.empty()) {
    const std::vector<bool> inverting = invertingPixels(document, index, rendering.image);
    if (const std::size_t count = drawInvertingPixels(rendering.image, inverting, options.inverted)) {
      reporter.log(pictureName(index) + ": " + std::to_string(count) +
                   (count == 1 ? " inverting pixel is" : " inverting pixels are") +
                   (options.inverted == InvertedPixels::transparent ? " written transparent."
                                                                    : " written dark with a light outline."));
    }
  }
  return std::move(rendering.image);
}

std::uint32_t nominalSizeOf(const gfx::Image& image) {
  return static_cast<std::uint32_t>(std::max(image.width(), image.height()));
}

// The hot spot the file stores for picture `index`, or the top-left pixel for an icon; a hot spot outside
// the picture is kept as stored (libXcursor refuses it, which the log says).
xc::ImageChunk chunkOf(const model::Document& document, int index, const gfx::Image& image, std::uint32_t delay,
                       formats::Reporter& reporter) {
  const preview::Point spot = preview::hotSpotOf(document, index).value_or(preview::Point{});
  if (spot.x >= image.width() || spot.y >= image.height())
    reporter.log(pictureName(index) + ": the hot spot " + std::to_string(spot.x) + "," + std::to_string(spot.y) +
                 " lies outside the picture; it is put in its last row and column.");
  const auto x = static_cast<std::uint32_t>(std::clamp(spot.x, 0, image.width() - 1));
  const auto y = static_cast<std::uint32_t>(std::clamp(spot.y, 0, image.height() - 1));
  return xc::imageChunkOf(image, nominalSizeOf(image), x, y, delay);
}

int bitCountOf(const model::Document& document, int index) {
  const std::string& text = document.pictures[static_cast<std::size_t>(index)].bitCountText;
  int bits = 0;
  std::from_chars(text.data(), text.data() + text.size(), bits);
  return preview::hasPerPixelAlpha(document, index) ? std::max(bits, 32) : bits;
}

// An icon or cursor file: one image per nominal size, the picture with the most bits per pixel where
// several have the same size (libXcursor would show them one after another as an animation).
std::vector<xc::ImageChunk> iconFileImages(const model::Document& document, const ToXcursorOptions& options,
                                           formats::Reporter& reporter) {
  std::map<std::uint32_t, std::pair<int, xc::ImageChunk>> bySize;  // nominal size -> (bit count, image)
  for (int index = 0; index < static_cast<int>(document.pictures.size()); ++index) {
    auto image = pictureImage(document, index, options, reporter);
    if (!image) continue;
    const int bits = bitCountOf(document, index);
    const std::uint32_t size = nominalSizeOf(*image);
    auto found = bySize.find(size);
    if (found != bySize.end() && found->second.first >= bits) {
      reporter.log(pictureName(index) + " is left out: another picture of size " + std::to_string(size) +
                   " has as many or more colours.");
      continue;
    }
    if (found != bySize.end())
      reporter.log("a picture of size " + std::to_string(size) + " is left out for " + pictureName(index) +
                   ", which has more colours.");
    bySize.insert_or_assign(size, std::pair{bits, chunkOf(document, index, *image, 0, reporter)});
  }
  std::vector<xc::ImageChunk> images;
  for (auto& [size, entry] : bySize) images.push_back(std::move(entry.second));
  return images;
}

std::uint32_t millisecondsOf(std::uint32_t jiffies) {
  return static_cast<std::uint32_t>(std::min<std::uint64_t>((std::uint64_t{jiffies} * 1000 + 30) / 60, UINT32_MAX));
}

// An animated cursor: one image per step, showing the step's frame for the step's time.
std::vector<xc::ImageChunk> animationImages(const model::Document& document, const ToXcursorOptions& options,
                                            formats::Reporter& reporter) {
  const model::AniState& ani = document.ani;
  const std::size_t frames = std::min(ani.framesRead, document.pictures.size());
  std::size_t steps = ani.stepCount != 0 ? ani.stepCount : frames;
  if (steps > mostSteps) {
    reporter.log("only the first " + std::to_string(mostSteps) + " of " + std::to_string(steps) +
                 " steps are converted.");
    steps = mostSteps;
  }
  std::map<std::size_t, std::optional<gfx::Image>> drawn;
  std::vector<xc::ImageChunk> images;
  for (std::size_t step = 0; step < steps; ++step) {
    const auto frame = ani.frameOfStep(step);
    if (!frame || *frame >= frames) {
      reporter.log("step " + std::to_string(step + 1) + " shows no frame that was read; it is left out.");
      continue;
    }
    const int index = static_cast<int>(*frame);
    auto [entry, fresh] = drawn.try_emplace(*frame);
    if (fresh) entry->second = pictureImage(document, index, options, reporter);
    if (!entry->second) continue;
    images.push_back(chunkOf(document, index, *entry->second, millisecondsOf(ani.stepDelay(step)), reporter));
  }
  // Sizes grouped, steps in order within each.
  std::ranges::stable_sort(images, {}, &xc::ImageChunk::nominalSize);
  return images;
}

}  // namespace

std::optional<xc::XcursorFile> xcursorFromDocument(const model::Document& document, const ToXcursorOptions& options,
                                                   formats::Reporter& reporter) {
  std::vector<xc::ImageChunk> images;
  if (document.kind == model::FileKind::iconFile)
    images = iconFileImages(document, options, reporter);
  else if (document.kind == model::FileKind::animatedCursor)
    images = animationImages(document, options, reporter);
  else {
    reporter.log("only icon files, cursor files and animated cursors become X cursors.");
    return std::nullopt;
  }
  if (images.empty()) {
    reporter.log("no picture could be converted.");
    return std::nullopt;
  }
  xc::XcursorFile file;
  for (xc::ImageChunk& image : images) {
    xc::Chunk chunk;
    chunk.tocType = xc::imageType;
    chunk.tocSubtype = image.nominalSize;
    chunk.content = std::move(image);
    file.chunks.push_back(std::move(chunk));
  }
  return file;
}

}  // namespace delvix::convert
