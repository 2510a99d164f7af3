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

// `seconds` as h:mm:ss.mmm, rounded to the millisecond; hours as many as it takes. Negative or not finite: 0.
std::string clockText(double seconds);

// The time of frame `frame` of `frames` frames lasting `playingTime` seconds and the frame's number, as the
// time panel shows it: "0:01:02.500 (500000)"; "0:00:00.000" without frames.
std::string frameTimeText(std::uint64_t frame, std::uint64_t frames, double playingTime);

}  // namespace delvix::wave
