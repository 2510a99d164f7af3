#include "sound/sample_decoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "formats/wav_writer.h"
#include "sound/sound_file.h"

namespace delvix::sound {

namespace {

// The encodings libsndfile decodes in a wave file. When it refuses one of these the file is damaged and its
// words say how; any other encoding it does not know, however well-formed the file.
constexpr std::array<std::uint16_t, 9> tagsLibsndfileReads{0x0001, 0x0002, 0x0003, 0x0006, 0x0007,
                                                           0x0011, 0x0031, 0x0040, 0x0055};
// No codec it reads makes more sample frames than this of a byte of the file: a larger count is a header's lie.
constexpr std::uint64_t mostFramesPerByte = 8;
// Frames decoded and dropped at a time when a codec that cannot seek is read forward to a place.
constexpr sf_count_t framesSkippedAtOnce = 4096;

class DecodedSampleReader : public wave::SampleReader {
 public:
  DecodedSampleReader(std::unique_ptr<SoundFile> file, std::uint64_t fileBytes)
      : file_(std::move(file)),
        channels_(file_->info().channels),
        frames_(std::min(static_cast<std::uint64_t>(std::max<sf_count_t>(file_->info().frames, 0)),
                         fileBytes * mostFramesPerByte)),
        seekable_(file_->info().seekable != 0) {}

  int channels() const override { return channels_; }
  std::uint64_t frames() const override { return frames_; }

  std::size_t read(std::uint64_t first, std::span<float> out) override {
    const auto channels = static_cast<std::size_t>(channels_);
    if (first >= frames_ || !file_->sound() || !goTo(first)) return 0;
    const auto wanted = static_cast<sf_count_t>(std::min<std::uint64_t>(out.size() / channels, frames_ - first));
    sf_count_t got = 0;
    while (got < wanted) {
      const sf_count_t more =
          sf_readf_float(file_->sound(), out.data() + static_cast<std::size_t>(got) * channels, wanted - got);
      if (more <= 0) break;
      got += more;
    }
    position_ += static_cast<std::uint64_t>(got);
    const auto samples = out.first(static_cast<std::size_t>(got) * channels);
    std::ranges::replace_if(
        samples, [](float sample) { return std::isnan(sample); }, 0.0f);
    return static_cast<std::size_t>(got);
  }

 private:
  // Brings the decoder to frame `frame`: by seeking where the codec can, otherwise by decoding forward from
  // where it is, or from the start again when the frame lies behind.
  bool goTo(std::uint64_t frame) {
    if (frame == position_) return true;
    if (seekable_ &&
        sf_seek(file_->sound(), static_cast<sf_count_t>(frame), SEEK_SET) == static_cast<sf_count_t>(frame)) {
      position_ = frame;
      return true;
    }
    if (frame < position_) {
      std::string error;
      position_ = 0;
      if (!file_->open(error)) return false;
    }
    std::vector<float> skipped(static_cast<std::size_t>(framesSkippedAtOnce) * static_cast<std::size_t>(channels_));
    while (position_ < frame) {
      const auto wanted = static_cast<sf_count_t>(std::min<std::uint64_t>(frame - position_, framesSkippedAtOnce));
      const sf_count_t got = sf_readf_float(file_->sound(), skipped.data(), wanted);
      if (got <= 0) return false;
      position_ += static_cast<std::uint64_t>(got);
    }
    return true;
  }

  std::unique_ptr<SoundFile> file_;
  int channels_;
  std::uint64_t frames_;
  bool seekable_;
  std::uint64_t position_ = 0;
};

}  // namespace

OpenedSamples openSamples(const model::Document& document) {
  if (document.kind != model::FileKind::wave) return {nullptr, "There is no wave file."};
  const model::WaveState& wave = document.wave;
  if (auto reader = wave::directSampleReader(wave)) return {std::move(reader), {}};
  formats::WrittenFile written = formats::soundFileInPlace(document);
  const std::uint64_t fileBytes = written.size();
  auto file = std::make_unique<SoundFile>(std::move(written), wave.samples);
  std::string error;
  if (!file->open(error)) {
    if (std::ranges::find(tagsLibsndfileReads, wave::encodingTagOf(wave)) == tagsLibsndfileReads.end())
      error = wave::undecodableText(wave);
    return {nullptr, error};
  }
  return {std::make_unique<DecodedSampleReader>(std::move(file), fileBytes), {}};
}

}  // namespace delvix::sound
