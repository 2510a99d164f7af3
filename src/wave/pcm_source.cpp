#include "wave/pcm_source.h"

#include <algorithm>
#include <limits>
#include <utility>

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
    const std::size_t bytes = view_.gather(next_, out);
    next_ += bytes / view_.sampleBytes();
    return bytes;
  }

  std::uint64_t remaining() const override { return std::uint64_t{view_.frameCount() - next_} * view_.sampleBytes(); }

 private:
  formats::WaveChannels channels_;
  const formats::ChannelView& view_;
  PcmFormat format_;
  std::size_t next_ = 0;
};

// The whole data, frame after frame, with 16-bit samples of a big-endian file turned round.
class DataSource final : public PcmSource {
 public:
  DataSource(model::SampleData frames, PcmFormat format, bool swapPairs)
      : frames_(std::move(frames)),
        frameBytes_(static_cast<std::size_t>(format.channels) * static_cast<std::size_t>(format.bitsPerSample / 8)),
        format_(format),
        swapPairs_(swapPairs) {}

  PcmFormat format() const override { return format_; }

  std::size_t read(std::span<std::uint8_t> out) override {
    const std::size_t bytes = wholeFrames(out.size(), remaining() / frameBytes_, frameBytes_) * frameBytes_;
    frames_.read(next_, out.first(bytes));
    if (swapPairs_)
      for (std::size_t i = 0; i < bytes; i += 2) std::swap(out[i], out[i + 1]);
    next_ += bytes;
    return bytes;
  }

  std::uint64_t remaining() const override { return frames_.size() - next_; }

 private:
  model::SampleData frames_;  // whole frames only
  std::size_t frameBytes_;
  PcmFormat format_;
  bool swapPairs_;
  std::uint64_t next_ = 0;
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
  const std::uint64_t held = std::min(wave.dataSize, wave.samples.size());
  return std::make_unique<DataSource>(wave.samples.slice(0, held / frameBytes * frameBytes), format,
                                      wave.bigEndian && f.bitsPerSample == 16);
}

}  // namespace delvix::wave
