#include "formats/wave_channels.h"

#include <algorithm>

#include "gfx/line.h"

namespace delvix::formats {

std::optional<ChannelLayout> channelLayoutOf(const model::WaveState& wave) {
  const model::WaveFormat& f = wave.format;
  if (!wave.isPcm()) return std::nullopt;
  if (f.bitsPerSample != 8 && f.bitsPerSample != 16) return std::nullopt;
  if (f.channels != 1 && f.channels != 2) return std::nullopt;
  return ChannelLayout{f.channels, f.bitsPerSample};
}

ChannelView::ChannelView(std::span<const std::uint8_t> frames, std::size_t frameBytes, std::size_t offset,
                         std::size_t sampleBytes, bool bigEndian)
    : frameBytes_(frameBytes),
      sampleBytes_(sampleBytes),
      frameCount_(frameBytes == 0 || offset + sampleBytes > frameBytes ? 0 : frames.size() / frameBytes),
      bigEndian_(bigEndian) {
  if (frameCount_ != 0) first_ = frames.data() + offset;
}

std::int16_t ChannelView::sample16(std::size_t frame) const {
  const std::uint8_t* s = sample(frame);
  return static_cast<std::int16_t>(bigEndian_ ? (s[0] << 8) | s[1] : s[0] | (s[1] << 8));
}

std::vector<std::uint8_t> ChannelView::gather() const {
  std::vector<std::uint8_t> samples(frameCount_ * sampleBytes_);
  for (std::size_t i = 0; i < frameCount_; ++i) {
    std::uint8_t* target = samples.data() + i * sampleBytes_;
    if (bigEndian_)
      std::reverse_copy(sample(i), sample(i) + sampleBytes_, target);
    else
      std::copy_n(sample(i), sampleBytes_, target);
  }
  return samples;
}

WaveChannels prepareChannels(const model::WaveState& wave) {
  WaveChannels channels;
  auto layout = channelLayoutOf(wave);
  if (!layout) return channels;
  channels.layout = *layout;
  channels.samples = wave.samples;
  const std::size_t sampleBytes = static_cast<std::size_t>(layout->bitsPerSample / 8);
  const std::size_t frameBytes = sampleBytes * static_cast<std::size_t>(layout->channels);
  const auto frames = wave.samples.bytes().first(std::min<std::size_t>(wave.dataSize, wave.samples.size()));
  channels.left = ChannelView(frames, frameBytes, 0, sampleBytes, wave.bigEndian);
  if (layout->channels == 2) channels.right = ChannelView(frames, frameBytes, sampleBytes, sampleBytes, wave.bigEndian);
  channels.frameCount = channels.left.frameCount();
  return channels;
}

ChannelPoints::ChannelPoints(const ChannelView& channel, int paintHeight)
    : channel_(&channel), middle_(std::max(paintHeight, 0) >> 1), size_(channel.frameCount()) {}

int ChannelPoints::operator[](std::size_t frame) const {
  if (channel_->sampleBytes() != 2) return channel_->sample(frame)[0] / 5;
  return middle_ - channel_->sample16(frame) / 120;
}

gfx::Image drawWaveform(const ChannelPoints& points, int width, int height, std::size_t firstFrame) {
  gfx::Image picture(std::max(width, 0), std::max(height, 0), waveBackground);
  if (picture.empty() || firstFrame >= points.size()) return picture;
  // Only rows -1 to height can show; keeping the ends there keeps every segment short.
  auto row = [&](std::size_t frame) { return std::clamp(points[frame], -1, height); };
  int previous = row(firstFrame);
  const std::size_t columns = std::min<std::size_t>(static_cast<std::size_t>(width), points.size() - firstFrame);
  for (std::size_t x = 0; x < columns; ++x) {
    const int current = row(firstFrame + x);
    const int fromX = x == 0 ? 0 : static_cast<int>(x) - 1;
    gfx::drawLine(picture, fromX, previous, static_cast<int>(x), current, waveForeground);
    previous = current;
  }
  return picture;
}

}  // namespace delvix::formats
