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

WaveChannels prepareChannels(const model::WaveState& wave) {
  WaveChannels channels;
  auto layout = channelLayoutOf(wave);
  if (!layout || wave.data.size() < 4) return channels;
  channels.layout = *layout;
  const std::size_t sampleBytes = static_cast<std::size_t>(layout->bitsPerSample / 8);
  const std::size_t frameBytes = sampleBytes * static_cast<std::size_t>(layout->channels);
  const std::size_t dataBytes = std::min<std::size_t>(wave.dataSize, wave.data.size() - 4);
  channels.frameCount = dataBytes / frameBytes;
  const std::uint8_t* frame = wave.data.data() + 4;

  channels.left.resize(channels.frameCount * sampleBytes);
  if (layout->channels == 2) channels.right.resize(channels.frameCount * sampleBytes);
  std::uint8_t* left = channels.left.data();
  std::uint8_t* right = channels.right.data();
  for (std::uint64_t i = 0; i < channels.frameCount; ++i, frame += frameBytes) {
    std::copy_n(frame, sampleBytes, left + i * sampleBytes);
    if (right) std::copy_n(frame + sampleBytes, sampleBytes, right + i * sampleBytes);
  }
  return channels;
}

ChannelPoints::ChannelPoints(const std::vector<std::uint8_t>& channel, int bitsPerSample, int paintHeight)
    : channel_(&channel),
      bitsPerSample_(bitsPerSample),
      middle_(std::max(paintHeight, 0) >> 1),
      size_(bitsPerSample == 16 ? channel.size() / 2 : channel.size()) {}

int ChannelPoints::operator[](std::size_t frame) const {
  const std::vector<std::uint8_t>& c = *channel_;
  if (bitsPerSample_ != 16) return c[frame] / 5;
  const auto sample = static_cast<std::int16_t>(c[2 * frame] | (c[2 * frame + 1] << 8));
  return middle_ - sample / 120;
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
