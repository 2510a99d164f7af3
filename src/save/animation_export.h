#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/document.h"
#include "save/animation_frames.h"
#include "save/image_export.h"

namespace delvix::save {

// Jiffies (1/60 s) in a GIF's hundredths of a second, to the nearest (3 jiffies are 5), at most 65535.
int gifDelayOfJiffies(std::uint32_t jiffies);
// Jiffies as an APNG delay fraction: exactly jiffies/60 while that fits in 16 bits, else whole seconds
// (to the nearest, at most 65535).
struct DelayFraction {
  std::uint16_t numerator = 0;
  std::uint16_t denominator = 1;
  bool operator==(const DelayFraction&) const = default;
};
DelayFraction apngDelayOfJiffies(std::uint32_t jiffies);

struct EncodedAnimation {
  std::vector<std::uint8_t> bytes;
  std::string error;                  // why nothing was encoded; empty on success
  std::vector<std::string> messages;  // steps left out
};

// The animated cursor's steps as an animated picture that loops without end: an animated GIF (`format` gif;
// transparent where alpha is below 128, up to 256 colours a frame) or an animated PNG (`format` png; every
// pixel as it is). Other formats, and documents that are not animated cursors, are refused.
EncodedAnimation encodeAnimation(const model::Document& document, ImageFormat format);

}  // namespace delvix::save
