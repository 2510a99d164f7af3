#include "wave/pcm_source.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace delvix::wave {

namespace {

int sampleRateOf(const model::WaveFormat& format) {
  return static_cast<int>(std::min<std::uint32_t>(format.samplesPerSecond, std::numeric_limits<int>::max()));
}

// How many whole frames a read of `outBytes` bytes takes, with `framesLeft` frames left.
std::size_t wholeFrames(std::size_t outBytes, std::uint64_t framesLeft, std::size_t frameBytes) {
  return static_cast<std::size_t>(std::min<std::uint64_t>(outBytes / frameBytes, framesLeft));
}

// One channel, gathered frame by frame as it is read.
class ChannelSource final : public PcmSource {
 public:
  ChannelSource(formats::WaveChannels channels, bool right, int sampleRate)
      : channels_(std::move(channels)),
        view_(right ? channels_.right : channels_.left),
        format_{sampleRate, 1, channels_.layout.bitsPerSample} {}

  PcmFormat format() const override { return format_; }

  std::size_t read(std::span<std::uint8_t> out) override {
    const std::size_t sampleBytes = view_.sampleBytes();
    const std::size_t count = wholeFrames(out.size(), view_.frameCount() - next_, sampleBytes);
    std::uint8_t* target = out.data();
    for (std::size_t i = next_; i < next_ + count; ++i) {
      if (sampleBytes == 1) {
        *target++ = *view_.sample(i);
      } else {
        const auto value = static_cast<std::uint16_t>(view_.sample16(i));
        *target++ = static_cast<std::uint8_t>(value);
        *target++ = static_cast<std::uint8_t>(value >> 8);
      }
    }
    next_ += count;
    return count * sampleBytes;
  }

  std::uint64_t remaining() const override { return std::uint64_t{view_.frameCount() - next_} * view_.sampleBytes(); }

 private:
  formats::WaveChannels channels_;  // keeps the samples alive; view_ points into them
  const formats::ChannelView& view_;
  PcmFormat format_;
  std::size_t next_ = 0;
};

// The whole data, frame after frame, with 16-bit samples of a big-endian file turned round.
class DataSource final : public PcmSource {
 public:
  DataSource(model::SharedBytes samples, std::span<const std::uint8_t> frames, PcmFormat format, bool swapPairs)
      : samples_(std::move(samples)),
        frames_(frames),
        frameBytes_(static_cast<std::size_t>(format.channels) * static_cast<std::size_t>(format.bitsPerSample / 8)),
        format_(format),
        swapPairs_(swapPairs) {}

  PcmFormat format() const override { return format_; }

  std::size_t read(std::span<std::uint8_t> out) override {
    const std::size_t bytes =
        wholeFrames(out.size(), (frames_.size() - next_) / frameBytes_, frameBytes_) * frameBytes_;
    const std::uint8_t* from = frames_.data() + next_;
    if (swapPairs_) {
      for (std::size_t i = 0; i < bytes; i += 2) {
        out[i] = from[i + 1];
        out[i + 1] = from[i];
      }
    } else if (bytes != 0) {
      std::memcpy(out.data(), from, bytes);
    }
    next_ += bytes;
    return bytes;
  }

  std::uint64_t remaining() const override { return frames_.size() - next_; }

 private:
  model::SharedBytes samples_;  // keeps frames_ alive
  std::span<const std::uint8_t> frames_;
  std::size_t frameBytes_;
  PcmFormat format_;
  bool swapPairs_;
  std::size_t next_ = 0;
};

}  // namespace

std::unique_ptr<PcmSource> channelSource(const model::Document& document, bool right) {
  formats::WaveChannels channels = formats::prepareChannels(document.wave);
  if (channels.layout.channels == 0 || (right && channels.layout.channels < 2)) return nullptr;
  return std::make_unique<ChannelSource>(std::move(channels), right, sampleRateOf(document.wave.format));
}

std::unique_ptr<PcmSource> pcmDataSource(const model::Document& document) {
  const model::WaveState& wave = document.wave;
  const model::WaveFormat& f = wave.format;
  if (!wave.isPcm() || (f.bitsPerSample != 8 && f.bitsPerSample != 16) || f.channels == 0) return nullptr;
  const PcmFormat format{sampleRateOf(f), f.channels, f.bitsPerSample};
  const std::size_t frameBytes = static_cast<std::size_t>(f.channels) * (f.bitsPerSample / 8u);
  const auto held = wave.samples.bytes().first(std::min<std::uint64_t>(wave.dataSize, wave.samples.size()));
  const auto frames = held.first(held.size() / frameBytes * frameBytes);
  return std::make_unique<DataSource>(wave.samples, frames, format, wave.bigEndian && f.bitsPerSample == 16);
}

}  // namespace delvix::wave
