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

namespace {

// Frames copied out of pieced data at a time when a channel is gathered.
constexpr std::size_t framesAtOnce = 4096;

}  // namespace

ChannelView::ChannelView(model::SampleData frames, std::size_t frameBytes, std::size_t offset, std::size_t sampleBytes,
                         bool bigEndian)
    : frames_(std::move(frames)),
      frameBytes_(frameBytes),
      offset_(offset),
      sampleBytes_(sampleBytes),
      frameCount_(frameBytes == 0 || sampleBytes == 0 || offset + sampleBytes > frameBytes
                      ? 0
                      : static_cast<std::size_t>(frames_.size() / frameBytes)),
      bigEndian_(bigEndian) {
  if (const auto bytes = frames_.contiguous(); bytes && frameCount_ != 0) contiguous_ = bytes->data() + offset;
}

const std::uint8_t* ChannelView::sampleAt(std::size_t frame, std::span<std::uint8_t, 2> scratch) const {
  if (contiguous_) return contiguous_ + frame * frameBytes_;
  frames_.read(std::uint64_t{frame} * frameBytes_ + offset_,
               std::span(scratch).first(std::min<std::size_t>(sampleBytes_, 2)));
  return scratch.data();
}

std::uint8_t ChannelView::sample8(std::size_t frame) const {
  std::uint8_t scratch[2]{};
  return *sampleAt(frame, scratch);
}

std::int16_t ChannelView::sample16(std::size_t frame) const {
  std::uint8_t scratch[2]{};
  const std::uint8_t* s = sampleAt(frame, scratch);
  return static_cast<std::int16_t>(bigEndian_ ? (s[0] << 8) | s[1] : s[0] | (s[1] << 8));
}

void ChannelView::putLittleEndian(const std::uint8_t* sample, std::uint8_t* target) const {
  if (bigEndian_)
    std::reverse_copy(sample, sample + sampleBytes_, target);
  else
    std::copy_n(sample, sampleBytes_, target);
}

std::size_t ChannelView::gather(std::size_t first, std::span<std::uint8_t> out) const {
  if (first >= frameCount_) return 0;
  const std::size_t count = std::min(out.size() / sampleBytes_, frameCount_ - first);
  std::uint8_t* target = out.data();
  if (contiguous_) {
    for (std::size_t i = first; i < first + count; ++i, target += sampleBytes_)
      putLittleEndian(contiguous_ + i * frameBytes_, target);
    return count * sampleBytes_;
  }
  std::vector<std::uint8_t> block(std::min(count, framesAtOnce) * frameBytes_);
  for (std::size_t done = 0; done < count;) {
    const std::size_t frames = std::min(count - done, framesAtOnce);
    frames_.read(std::uint64_t{first + done} * frameBytes_, std::span(block).first(frames * frameBytes_));
    for (std::size_t i = 0; i < frames; ++i, target += sampleBytes_)
      putLittleEndian(block.data() + i * frameBytes_ + offset_, target);
    done += frames;
  }
  return count * sampleBytes_;
}

std::vector<std::uint8_t> ChannelView::gather() const {
  std::vector<std::uint8_t> samples(frameCount_ * sampleBytes_);
  gather(0, samples);
  return samples;
}

WaveChannels prepareChannels(const model::WaveState& wave) {
  WaveChannels channels;
  auto layout = channelLayoutOf(wave);
  if (!layout) return channels;
  channels.layout = *layout;
  const std::size_t sampleBytes = static_cast<std::size_t>(layout->bitsPerSample / 8);
  const std::size_t frameBytes = sampleBytes * static_cast<std::size_t>(layout->channels);
  const model::SampleData frames = wave.samples.slice(0, std::min(wave.dataSize, wave.samples.size()));
  channels.left = ChannelView(frames, frameBytes, 0, sampleBytes, wave.bigEndian);
  if (layout->channels == 2) channels.right = ChannelView(frames, frameBytes, sampleBytes, sampleBytes, wave.bigEndian);
  channels.frameCount = channels.left.frameCount();
  return channels;
}

ChannelPoints::ChannelPoints(const ChannelView& channel, int paintHeight)
    : channel_(&channel), middle_(std::max(paintHeight, 0) >> 1), size_(channel.frameCount()) {}

int ChannelPoints::operator[](std::size_t frame) const {
  if (channel_->sampleBytes() != 2) return channel_->sample8(frame) / 5;
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
