#pragma once

#include <cstdint>
#include <string>

namespace delvix::wave {

// How the track bar under the channels maps to sample frames for a paint box `width` columns wide.
struct TrackScale {
  // The track bar's range is 0 to `maximum` (0 when every frame fits the box).
  int maximum = 0;
  // Frames per track bar step: 1, unless more frames than an int can count lie beyond the box.
  std::uint64_t step = 1;
  // Tick marks every this many steps, or 0 for none (they would crowd into a solid bar).
  int tickInterval = 0;
  // The first frame shown at the track bar's end: the last frame then sits in the box's last column.
  std::uint64_t lastFirstFrame = 0;

  // The first frame shown at track bar position `position`.
  std::uint64_t firstFrameAt(int position) const;
};

// The scale for `frames` frames: the last frame can always be scrolled into the box.
TrackScale trackScale(std::uint64_t frames, int width);

// The time of frame `frame` of `frames` frames lasting `playingTime` seconds, as the time panel shows it
// (3 significant digits; "0" without frames).
std::string frameTimeText(std::uint64_t frame, std::uint64_t frames, double playingTime);

}  // namespace delvix::wave
