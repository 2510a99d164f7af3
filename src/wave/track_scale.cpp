#include "wave/track_scale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

namespace delvix::wave {

namespace {

constexpr std::uint64_t largestPosition = std::numeric_limits<int>::max();
constexpr int stepsPerTick = 500;
// Closer ticks than this merge into a solid bar (and an hour of sound would draw hundreds of thousands).
constexpr std::uint64_t narrowestTickGap = 4;

std::uint64_t dividedRoundingUp(std::uint64_t value, std::uint64_t divisor) {
  return value / divisor + (value % divisor != 0 ? 1 : 0);
}

}  // namespace

std::uint64_t TrackScale::firstFrameAt(int position) const {
  if (position <= 0) return 0;
  // Below the maximum, position x step stays under lastFirstFrame (the maximum is that over step, rounded up).
  if (position >= maximum) return lastFirstFrame;
  return std::min(static_cast<std::uint64_t>(position) * step, lastFirstFrame);
}

TrackScale trackScale(std::uint64_t frames, int width) {
  TrackScale scale;
  const std::uint64_t columns = static_cast<std::uint64_t>(std::max(width, 0));
  scale.lastFirstFrame = frames > columns ? frames - columns : 0;
  scale.step = std::max<std::uint64_t>(1, dividedRoundingUp(scale.lastFirstFrame, largestPosition));
  scale.maximum = static_cast<int>(dividedRoundingUp(scale.lastFirstFrame, scale.step));
  const std::uint64_t ticks = static_cast<std::uint64_t>(scale.maximum) / stepsPerTick;
  scale.tickInterval = ticks * narrowestTickGap > columns ? 0 : stepsPerTick;
  return scale;
}

std::string clockText(double seconds) {
  // Whole milliseconds; beyond what 64 bits count (hundreds of millions of years) the clock stops.
  constexpr double largestMilliseconds = 9.0e18;
  const double rounded = std::isfinite(seconds) && seconds > 0 ? std::round(seconds * 1000) : 0;
  const auto milliseconds = static_cast<std::uint64_t>(std::min(rounded, largestMilliseconds));
  const std::uint64_t totalSeconds = milliseconds / 1000;
  std::array<char, 48> text{};
  std::snprintf(text.data(), text.size(), "%llu:%02u:%02u.%03u", static_cast<unsigned long long>(totalSeconds / 3600),
                static_cast<unsigned>(totalSeconds / 60 % 60), static_cast<unsigned>(totalSeconds % 60),
                static_cast<unsigned>(milliseconds % 1000));
  return text.data();
}

std::string frameTimeText(std::uint64_t frame, std::uint64_t frames, double playingTime) {
  if (frames == 0) return clockText(0);
  const double seconds = static_cast<double>(frame) * playingTime / static_cast<double>(frames);
  return clockText(seconds) + " (" + std::to_string(frame) + ")";
}

}  // namespace delvix::wave
