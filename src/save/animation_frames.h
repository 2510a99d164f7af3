#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/image.h"
#include "model/document.h"

namespace delvix::save {

// One step of an animation: the picture it shows and for how many jiffies (1/60 s).
struct AnimationStep {
  std::size_t picture = 0;
  std::uint32_t jiffies = 0;
};

// An animated cursor's steps as an animation: every frame that a step shows drawn once with its own alpha,
// centred on a transparent canvas as large as the largest of them.
struct AnimationFrames {
  std::vector<gfx::Image> pictures;  // all of one size
  std::vector<AnimationStep> steps;
  // Steps left out (a frame the file does not hold, a frame that cannot be drawn), one line each.
  std::vector<std::string> messages;
  // Why there is no animation; empty when there is one.
  std::string error;
};

// The most pixels the canvas may have over all steps together (128 MiB of pixels), which bounds the memory
// and the size of the file written.
inline constexpr std::size_t largestAnimationPixels = std::size_t{32} << 20;
// Past this many, left-out steps are counted in one last message instead of one each.
inline constexpr std::size_t largestStepMessages = 10;

// The steps the player plays (the sequence, no more than the header's step count), in order, each with its
// own delay. A step whose frame is missing or cannot be drawn is left out with a message; a document that is
// not an animated cursor, or has no step left, or whose steps would exceed largestAnimationPixels, gives the
// error.
AnimationFrames collectAnimation(const model::Document& document);

}  // namespace delvix::save
