#include "sound/decoded_source.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "formats/wav_writer.h"
#include "sound/sound_file.h"

namespace delvix::sound {

namespace {

// Files of more than two channels are played as their first two: in a wave file those are the front left
// and right (the extensible format's order, and the usual one without it). Mixing the others in would need
// a speaker layout that many files leave out or get wrong, and would double a centre or add the LFE.
constexpr int mostChannels = 2;
// Frames decoded at a time; with up to 1024 channels in a frame this keeps the buffer small.
constexpr sf_count_t framesAtOnce = 256;

// libsndfile gives every kind of sample as -1 to 1 (a 16-bit sample s as s / 32768). Reading floats and
// rounding them here treats float files like the others: its own reading of a float file as 16 bits either
// truncates the samples to almost nothing or scales them to the file's peak.
std::int16_t toSixteenBits(float sample) {
  if (std::isnan(sample)) return 0;
  return static_cast<std::int16_t>(std::lrint(std::clamp(sample * 32768.0f, -32768.0f, 32767.0f)));
}

class DecodedSource : public wave::PcmSource {
 public:
  DecodedSource(formats::WrittenFile file, model::SampleData samples) : file_(std::move(file), std::move(samples)) {}

  // False, with libsndfile's words in `error`, when it refuses the file.
  bool open(std::string& error) {
    if (!file_.open(error)) return false;
    info_ = file_.info();
    format_ = {info_.samplerate, std::min(info_.channels, mostChannels), 16};
    buffer_.resize(static_cast<std::size_t>(framesAtOnce * info_.channels));
    return true;
  }

  wave::PcmFormat format() const override { return format_; }

  std::size_t read(std::span<std::uint8_t> out) override {
    const std::size_t frameBytes = static_cast<std::size_t>(format_.channels) * 2;
    std::size_t filled = 0;
    while (!ended_ && out.size() - filled >= frameBytes) {
      const auto wanted =
          static_cast<sf_count_t>(std::min<std::size_t>((out.size() - filled) / frameBytes, framesAtOnce));
      const sf_count_t got = sf_readf_float(file_.sound(), buffer_.data(), wanted);
      if (got <= 0) {
        ended_ = true;
        break;
      }
      framesRead_ += got;
      for (sf_count_t frame = 0; frame < got; ++frame) {
        for (int channel = 0; channel < format_.channels; ++channel) {
          const auto sample = static_cast<std::uint16_t>(
              toSixteenBits(buffer_[static_cast<std::size_t>(frame * info_.channels + channel)]));
          out[filled++] = static_cast<std::uint8_t>(sample & 0xFF);
          out[filled++] = static_cast<std::uint8_t>(sample >> 8);
        }
      }
    }
    return filled;
  }

  std::uint64_t remaining() const override {
    if (ended_ || framesRead_ >= info_.frames) return 0;
    // A count libsndfile does not know may be as large as its type: no product may wrap round.
    const auto frames = std::min<std::uint64_t>(static_cast<std::uint64_t>(info_.frames - framesRead_), 1ull << 60);
    return frames * static_cast<std::uint64_t>(format_.channels) * 2;
  }

 private:
  SoundFile file_;
  SF_INFO info_{};
  wave::PcmFormat format_;
  std::vector<float> buffer_;
  sf_count_t framesRead_ = 0;
  bool ended_ = false;
};

}  // namespace

std::unique_ptr<wave::PcmSource> decodedSource(const model::Document& document, std::string& error) {
  auto source = std::make_unique<DecodedSource>(formats::soundFileInPlace(document), document.wave.samples);
  if (!source->open(error)) return nullptr;
  return source;
}

}  // namespace delvix::sound
