#include "save/animation_export.h"

#include <algorithm>
#include <exception>

#include "codecs/apng_encode.h"
#include "codecs/gif/gif_codec.h"

namespace delvix::save {

namespace {

constexpr std::uint32_t largestDelay = 0xFFFF;

// The picture on the codec's key-colour canvas: transparent where alpha is below 128, opaque elsewhere. An
// opaque pixel of the key colour itself moves one step of blue away, so that it stays opaque.
gfx::Image onKeyCanvas(const gfx::Image& picture) {
  gfx::Image keyed = picture;
  const gfx::Pixel key = gfx::withoutAlpha(gfx::transparentKey);
  for (gfx::Pixel& p : keyed.pixels()) {
    if (gfx::alpha(p) < 128)
      p = gfx::transparentKey;
    else
      p = (gfx::withoutAlpha(p) == key ? key - 1 : gfx::withoutAlpha(p)) | 0xFF000000u;
  }
  return keyed;
}

std::vector<std::uint8_t> encodeGifAnimation(const AnimationFrames& frames) {
  const codecs::gif::Settings settings{.reduction = codecs::gif::ColorReduction::rmQuantize,
                                       .dither = codecs::gif::DitherMode::dmNearest,
                                       .reductionBits = 8,
                                       .compression = codecs::gif::Compression::gcLZW};
  std::vector<codecs::gif::IndexedImage> pictures;
  for (const gfx::Image& picture : frames.pictures)
    pictures.push_back(codecs::gif::reduceColours(onKeyCanvas(picture), settings));
  std::vector<codecs::gif::GifFrame> steps;
  for (const AnimationStep& step : frames.steps) steps.push_back({step.picture, gifDelayOfJiffies(step.jiffies)});
  return codecs::gif::encodeAnimatedGif(pictures, steps, settings.compression);
}

std::vector<std::uint8_t> encodePngAnimation(const AnimationFrames& frames) {
  std::vector<codecs::ApngFrame> steps;
  for (const AnimationStep& step : frames.steps) {
    const DelayFraction delay = apngDelayOfJiffies(step.jiffies);
    steps.push_back({step.picture, delay.numerator, delay.denominator});
  }
  return codecs::encodeApng(frames.pictures, steps).value_or(std::vector<std::uint8_t>{});
}

}  // namespace

int gifDelayOfJiffies(std::uint32_t jiffies) {
  return static_cast<int>(std::min<std::uint64_t>((std::uint64_t{jiffies} * 5 + 1) / 3, largestDelay));
}

DelayFraction apngDelayOfJiffies(std::uint32_t jiffies) {
  if (jiffies <= largestDelay) return {static_cast<std::uint16_t>(jiffies), 60};
  return {static_cast<std::uint16_t>(std::min<std::uint64_t>((std::uint64_t{jiffies} + 30) / 60, largestDelay)), 1};
}

EncodedAnimation encodeAnimation(const model::Document& document, ImageFormat format) {
  EncodedAnimation result;
  if (format != ImageFormat::gif && format != ImageFormat::png) {
    result.error = "An animation is saved as a GIF or a PNG file.";
    return result;
  }
  // A codec that runs out of memory fails this animation, not the program.
  try {
    AnimationFrames frames = collectAnimation(document);
    result.messages = std::move(frames.messages);
    if (!frames.error.empty()) {
      result.error = std::move(frames.error);
      return result;
    }
    result.bytes = format == ImageFormat::gif ? encodeGifAnimation(frames) : encodePngAnimation(frames);
    if (result.bytes.empty())
      result.error = format == ImageFormat::gif ? "The animated GIF picture could not be made."
                                                : "The animated PNG picture could not be made.";
  } catch (const std::exception& e) {
    result.error = std::string("The animation could not be encoded: ") + e.what();
  }
  return result;
}

}  // namespace delvix::save
