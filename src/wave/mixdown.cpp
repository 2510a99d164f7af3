#include "wave/mixdown.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace delvix::wave {

namespace {

constexpr float minus3dB = 0.70710678f;

// The speaker positions of the extensible format's channel mask, bit by bit.
enum Speaker : std::uint32_t {
  frontLeft = 0x1,
  frontRight = 0x2,
  frontCentre = 0x4,
  lowFrequency = 0x8,
  backLeft = 0x10,
  backRight = 0x20,
  frontLeftOfCentre = 0x40,
  frontRightOfCentre = 0x80,
  backCentre = 0x100,
  sideLeft = 0x200,
  sideRight = 0x400,
  topCentre = 0x800,
  topFrontLeft = 0x1000,
  topFrontCentre = 0x2000,
  topFrontRight = 0x4000,
  topBackLeft = 0x8000,
  topBackCentre = 0x10000,
  topBackRight = 0x20000,
};

// The order of a file's channels without a mask: the mask's bits from the lowest up.
constexpr std::uint32_t usualOrder = 0x3FFFF;

struct StereoGains {
  float left = 0;
  float right = 0;
};

// Where one speaker goes in a stereo mix. A channel without a known position goes to both sides, like a
// centre: its sound is heard rather than lost.
StereoGains stereoGainsOf(std::uint32_t speaker) {
  switch (speaker) {
    case frontLeft:
    case frontLeftOfCentre: return {1, 0};
    case frontRight:
    case frontRightOfCentre: return {0, 1};
    case lowFrequency: return {0, 0};
    case backLeft:
    case sideLeft:
    case topFrontLeft:
    case topBackLeft: return {minus3dB, 0};
    case backRight:
    case sideRight:
    case topFrontRight:
    case topBackRight: return {0, minus3dB};
    default: return {minus3dB, minus3dB};
  }
}

// The speaker of each channel: the mask's set bits in order, 0 (unknown) for channels beyond them.
std::vector<std::uint32_t> speakersOf(int channels, std::uint32_t mask) {
  std::vector<std::uint32_t> speakers;
  for (std::uint32_t bits = mask == 0 ? usualOrder : mask; bits != 0 && std::ssize(speakers) < channels;
       bits &= bits - 1)
    speakers.push_back(bits & ~(bits - 1));
  speakers.resize(static_cast<std::size_t>(channels), 0);
  return speakers;
}

std::vector<StereoGains> stereoGains(int channels, std::uint32_t mask) {
  if (channels == 1) return {{1, 1}};
  if (channels == 2) return {{1, 0}, {0, 1}};
  std::vector<StereoGains> gains;
  for (std::uint32_t speaker : speakersOf(channels, mask)) gains.push_back(stereoGainsOf(speaker));
  return gains;
}

std::int16_t toSixteenBits(float sample) {
  if (std::isnan(sample)) return 0;
  return static_cast<std::int16_t>(std::lrint(std::clamp(sample * 32768.0f, -32768.0f, 32767.0f)));
}

// Frames mixed at a time: the buffer of input samples stays near 256 KiB however many channels there are.
constexpr std::size_t samplesAtOnce = 65536;

class Mixer final : public MixedSource {
 public:
  Mixer(std::unique_ptr<SampleReader> reader, int sampleRate, const MixMatrix& matrix, std::uint64_t first,
        std::uint64_t end)
      : reader_(std::move(reader)),
        format_{sampleRate, matrix.outputs, 16},
        inputs_(static_cast<std::size_t>(matrix.inputs)),
        first_(first),
        next_(first),
        end_(std::max(first, std::min(end, reader_->frames()))),
        buffer_(std::max<std::size_t>(samplesAtOnce / inputs_, 1) * inputs_) {
    // Only the gains that are not 0: an identity mix then hands the samples on as they are.
    for (int output = 0; output < matrix.outputs; ++output) {
      std::vector<Term> terms;
      for (std::size_t input = 0; input < inputs_; ++input)
        if (const float gain = matrix.gains[static_cast<std::size_t>(output) * inputs_ + input]; gain != 0)
          terms.push_back({input, gain});
      terms_.push_back(std::move(terms));
    }
  }

  PcmFormat format() const override { return format_; }

  std::size_t read(std::span<std::uint8_t> out) override {
    const std::size_t frameBytes = terms_.size() * 2;
    std::size_t filled = 0;
    while (next_ < end_ && out.size() - filled >= frameBytes) {
      const std::size_t wanted = static_cast<std::size_t>(
          std::min<std::uint64_t>({(out.size() - filled) / frameBytes, buffer_.size() / inputs_, end_ - next_}));
      const std::size_t got = reader_->read(next_, std::span(buffer_).first(wanted * inputs_));
      if (got == 0) {
        end_ = next_;  // nothing more can be decoded
        break;
      }
      for (std::size_t frame = 0; frame < got; ++frame) {
        const float* in = buffer_.data() + frame * inputs_;
        for (const std::vector<Term>& terms : terms_) {
          float sum = 0;
          for (const Term& term : terms) sum += term.gain * in[term.input];
          const auto sample = static_cast<std::uint16_t>(toSixteenBits(sum));
          out[filled++] = static_cast<std::uint8_t>(sample & 0xFF);
          out[filled++] = static_cast<std::uint8_t>(sample >> 8);
        }
      }
      next_ += got;
    }
    return filled;
  }

  std::uint64_t remaining() const override { return (end_ - next_) * terms_.size() * 2; }
  std::uint64_t framesRead() const override { return next_ - first_; }

 private:
  struct Term {
    std::size_t input;
    float gain;
  };

  std::unique_ptr<SampleReader> reader_;
  PcmFormat format_;
  std::size_t inputs_;
  std::vector<std::vector<Term>> terms_;  // for each output
  std::uint64_t first_;
  std::uint64_t next_;
  std::uint64_t end_;
  std::vector<float> buffer_;
};

}  // namespace

MixMatrix downMixMatrix(int channels, std::uint32_t channelMask, int outputs) {
  if (channels < 1 || (outputs != 1 && outputs != 2)) return {};
  const std::vector<StereoGains> stereo = stereoGains(channels, channelMask);
  const auto inputs = static_cast<std::size_t>(channels);
  MixMatrix matrix{channels, outputs, std::vector<float>(inputs * static_cast<std::size_t>(outputs))};
  for (std::size_t input = 0; input < inputs; ++input) {
    if (outputs == 1) {
      // Mono is both sides of the stereo mix at once; a mono file's channel passes as it is.
      matrix.gains[input] = channels == 1 ? 1.0f : (stereo[input].left + stereo[input].right) / 2;
    } else {
      matrix.gains[input] = stereo[input].left;
      matrix.gains[inputs + input] = stereo[input].right;
    }
  }
  // The same scale for every output keeps the balance; the fullest output then reaches full scale at most.
  float fullest = 0;
  for (int output = 0; output < outputs; ++output) {
    const auto row = std::span(matrix.gains).subspan(static_cast<std::size_t>(output) * inputs, inputs);
    float sum = 0;
    for (float gain : row) sum += gain;
    fullest = std::max(fullest, sum);
  }
  if (fullest > 1)
    for (float& gain : matrix.gains) gain /= fullest;
  return matrix;
}

std::unique_ptr<MixedSource> mixedSource(std::unique_ptr<SampleReader> reader, int sampleRate, MixMatrix matrix,
                                         std::uint64_t first, std::uint64_t end) {
  if (!reader || matrix.inputs != reader->channels() || matrix.inputs < 1 || matrix.outputs < 1 ||
      matrix.gains.size() != static_cast<std::size_t>(matrix.inputs) * static_cast<std::size_t>(matrix.outputs) ||
      sampleRate < 1)
    return nullptr;
  return std::make_unique<Mixer>(std::move(reader), sampleRate, matrix, first, end);
}

std::uint64_t playedFrame(std::uint64_t first, std::uint64_t end, std::uint64_t playedMicroseconds, int sampleRate) {
  if (sampleRate < 1 || end <= first) return first;
  // In two steps, so that no product can wrap round for any time or rate.
  const std::uint64_t seconds = playedMicroseconds / 1'000'000, rest = playedMicroseconds % 1'000'000;
  const auto rate = static_cast<std::uint64_t>(sampleRate);
  if (seconds > (end - first) / rate) return end;
  const std::uint64_t frames = seconds * rate + rest * rate / 1'000'000;
  return first + std::min(frames, end - first);
}

}  // namespace delvix::wave
