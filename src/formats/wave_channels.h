#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
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

// One channel of interleaved sample frames, read where the frames are: no copy of a long recording. The
// view keeps the frames alive. The samples are in the file's byte order (big-endian in a "RIFX" file).
class ChannelView {
 public:
  ChannelView() = default;
  ChannelView(model::SampleData frames, std::size_t frameBytes, std::size_t offset, std::size_t sampleBytes,
              bool bigEndian = false);

  std::size_t frameCount() const { return frameCount_; }
  std::size_t sampleBytes() const { return sampleBytes_; }
  // An 8-bit sample's value.
  std::uint8_t sample8(std::size_t frame) const;
  // A 16-bit sample's value, whatever the file's byte order.
  std::int16_t sample16(std::size_t frame) const;
  // The samples of the frames from `first` on, as many as fit whole into `out`, one after another and
  // little-endian; how many bytes.
  std::size_t gather(std::size_t first, std::span<std::uint8_t> out) const;
  // The channel's samples so: mono PCM of the file's depth, as a single-channel file holds them and the
  // sound output plays them.
  std::vector<std::uint8_t> gather() const;

 private:
  // The bytes of one sample: where they are, or copied into `scratch` when the frames are in pieces.
  const std::uint8_t* sampleAt(std::size_t frame, std::span<std::uint8_t, 2> scratch) const;
  void putLittleEndian(const std::uint8_t* sample, std::uint8_t* target) const;

  model::SampleData frames_;
  const std::uint8_t* contiguous_ = nullptr;  // the first frame's sample, when the frames are in one piece
  std::size_t frameBytes_ = 0;
  std::size_t offset_ = 0;
  std::size_t sampleBytes_ = 0;
  std::size_t frameCount_ = 0;
  bool bigEndian_ = false;
};

// The channels of the sample data; they keep the data alive.
struct WaveChannels {
  ChannelLayout layout;
  std::uint64_t frameCount = 0;
  ChannelView left;
  ChannelView right;  // no frames for mono
};
// Empty (frame count 0, no buffers) for a layout that the channel view does not show.
WaveChannels prepareChannels(const model::WaveState& wave);

// The vertical pixel position of each sample of one channel in a paint box of the given height, worked
// out when asked (a stored array would cost as much memory as the channel itself): 8-bit samples at
// sample / 5, 16-bit samples at height / 2 - sample / 120.
class ChannelPoints {
 public:
  ChannelPoints(const ChannelView& channel, int paintHeight);

  std::size_t size() const { return size_; }
  int operator[](std::size_t frame) const;

 private:
  const ChannelView* channel_;
  int middle_;
  std::size_t size_;
};

inline constexpr gfx::Pixel waveBackground = gfx::rgb(0, 128, 0);
inline constexpr gfx::Pixel waveForeground = gfx::rgb(0, 0, 0);

// The channel's picture for a paint box of width x height: green, with black lines joining the points of
// the frames from `firstFrame` on, one frame per pixel column.
gfx::Image drawWaveform(const ChannelPoints& points, int width, int height, std::size_t firstFrame = 0);

}  // namespace delvix::formats
