#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "gfx/image.h"
#include "model/wave_state.h"

namespace delvix::formats {

// The sample layouts that the channel view shows: PCM of 8 or 16 bits, mono or stereo.
struct ChannelLayout {
  int channels = 0;
  int bitsPerSample = 0;
};
std::optional<ChannelLayout> channelLayoutOf(const model::WaveState& wave);

// The channels taken out of the interleaved data, each as mono PCM of the file's depth.
struct WaveChannels {
  ChannelLayout layout;
  std::uint64_t frameCount = 0;
  std::vector<std::uint8_t> left;
  std::vector<std::uint8_t> right;  // empty for mono
};
// Empty (frame count 0, no buffers) for a layout that the channel view does not show.
WaveChannels prepareChannels(const model::WaveState& wave);

// The vertical pixel position of each sample of one channel in a paint box of the given height, worked
// out when asked (a stored array would cost as much memory as the channel itself): 8-bit samples at
// sample / 5, 16-bit samples at height / 2 - sample / 120.
class ChannelPoints {
 public:
  ChannelPoints(const std::vector<std::uint8_t>& channel, int bitsPerSample, int paintHeight);

  std::size_t size() const { return size_; }
  int operator[](std::size_t frame) const;

 private:
  const std::vector<std::uint8_t>* channel_;
  int bitsPerSample_;
  int middle_;
  std::size_t size_;
};

inline constexpr gfx::Pixel waveBackground = gfx::rgb(0, 128, 0);
inline constexpr gfx::Pixel waveForeground = gfx::rgb(0, 0, 0);

// The channel's picture for a paint box of width x height: green, with black lines joining the points of
// the frames from `firstFrame` on, one frame per pixel column.
gfx::Image drawWaveform(const ChannelPoints& points, int width, int height, std::size_t firstFrame = 0);

}  // namespace delvix::formats
