#include "sound/sample_decoder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "formats/wav_writer.h"
#include "sound/sound_file.h"

namespace delvix::sound {

namespace {

// The encodings libsndfile decodes in a wave file, and in how many channels at most. When it refuses one of
// these the file is damaged and its words say how; any other encoding, or more channels than it takes, it does
// not know, however well-formed the file.
struct Decodable {
  std::uint16_t tag;
  int mostChannels;
};
constexpr int anyNumber = std::numeric_limits<int>::max();
constexpr Decodable libsndfileDecodes[] = {
    {0x0001, anyNumber}, {0x0002, 2},         {0x0003, anyNumber}, {0x0006, anyNumber}, {0x0007, anyNumber},
    {0x0011, 2},         {0x0031, anyNumber}, {0x0038, anyNumber}, {0x0040, anyNumber}, {0x0055, anyNumber},
};

// The extensible format's fields after cbSize, up to the end of its sub-format.
constexpr std::size_t extensibleTailSize = 22;

bool libsndfileKnows(const model::WaveState& wave) {
  // An extensible format too short to name its sub-format is damaged rather than unknown.
  if (wave.format.formatTag == model::waveExtensibleTag && wave.formatTail.size() < extensibleTailSize) return true;
  const auto found = std::ranges::find(libsndfileDecodes, wave::encodingTagOf(wave), &Decodable::tag);
  return found != std::end(libsndfileDecodes) && wave.format.channels <= found->mostChannels;
}

// No codec it reads makes more sample frames than this of a byte of the file: a larger count is a header's lie.
constexpr std::uint64_t mostFramesPerByte = 8;
// The samples a codec that cannot seek keeps of what it decoded last (4 MiB).
constexpr std::size_t recentSamples = std::size_t{1} << 20;
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

  // The frames libsndfile announces but does not decode read as silence: its count of some codecs (MPEG) is an
  // estimate, and the length of a reader stays what it said.
  std::size_t read(std::uint64_t first, std::span<float> out) override {
    const auto channels = static_cast<std::size_t>(channels_);
    if (first >= frames_ || !file_->sound()) return 0;
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(out.size() / channels, frames_ - first));
    const std::span<float> samples = out.first(count * channels);
    std::size_t done = fromRecent(first, samples);
    if (done < count && first + done < decodedEnd_ && goTo(first + done))
      done += decode(samples.subspan(done * channels));
    std::fill(samples.begin() + static_cast<std::ptrdiff_t>(done * channels), samples.end(), 0.0f);
    return count;
  }

 private:
  // Decodes frames from where the decoder stands into `samples`; how many (fewer where the decoder gives out).
  std::size_t decode(std::span<float> samples) {
    const auto channels = static_cast<std::size_t>(channels_);
    const auto wanted = static_cast<sf_count_t>(samples.size() / channels);
    sf_count_t got = 0;
    while (got < wanted) {
      const sf_count_t more =
          sf_readf_float(file_->sound(), samples.data() + static_cast<std::size_t>(got) * channels, wanted - got);
      if (more <= 0) break;
      got += more;
    }
    position_ += static_cast<std::uint64_t>(got);
    if (got < wanted) decodedEnd_ = position_;
    const auto decoded = samples.first(static_cast<std::size_t>(got) * channels);
    std::ranges::replace_if(
        decoded, [](float sample) { return std::isnan(sample); }, 0.0f);
    remember(decoded);
    return static_cast<std::size_t>(got);
  }

  // A codec that cannot seek keeps the frames it decoded last, up to where it stands: a view that moves a little
  // back or forth reads them again without decoding from the start. How many frames from `first` on it copied.
  std::size_t fromRecent(std::uint64_t first, std::span<float> samples) const {
    const auto channels = static_cast<std::size_t>(channels_);
    if (first < recentFirst_ || first - recentFirst_ >= recent_.size() / channels) return 0;
    const auto from = static_cast<std::size_t>(first - recentFirst_) * channels;
    const std::size_t count = std::min(samples.size(), recent_.size() - from);
    std::copy_n(recent_.begin() + static_cast<std::ptrdiff_t>(from), count, samples.begin());
    return count / channels;
  }

  void remember(std::span<const float> decoded) {
    if (seekable_) return;
    const auto channels = static_cast<std::size_t>(channels_);
    recent_.insert(recent_.end(), decoded.begin(), decoded.end());
    const std::size_t kept = std::max<std::size_t>(1, recentSamples / channels) * channels;
    if (recent_.size() <= kept) return;
    const std::size_t dropped = recent_.size() - kept;
    recent_.erase(recent_.begin(), recent_.begin() + static_cast<std::ptrdiff_t>(dropped));
    recentFirst_ += dropped / channels;
  }

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
      position_ = recentFirst_ = 0;
      recent_.clear();
      if (!file_->open(error)) return false;
    }
    std::vector<float> skipped(static_cast<std::size_t>(framesSkippedAtOnce) * static_cast<std::size_t>(channels_));
    while (position_ < frame) {
      const auto wanted = static_cast<sf_count_t>(std::min<std::uint64_t>(frame - position_, framesSkippedAtOnce));
      const sf_count_t got = sf_readf_float(file_->sound(), skipped.data(), wanted);
      if (got <= 0) {
        decodedEnd_ = position_;
        return false;
      }
      position_ += static_cast<std::uint64_t>(got);
      remember(std::span(skipped).first(static_cast<std::size_t>(got) * static_cast<std::size_t>(channels_)));
    }
    return true;
  }

  std::unique_ptr<SoundFile> file_;
  int channels_;
  std::uint64_t frames_;
  bool seekable_;
  std::uint64_t position_ = 0;
  // Where the decoder gives out, once met.
  std::uint64_t decodedEnd_ = std::numeric_limits<std::uint64_t>::max();
  // Frames from recentFirst_ up to position_ of a codec that cannot seek, interleaved; none of one that can.
  std::vector<float> recent_;
  std::uint64_t recentFirst_ = 0;
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
    if (!libsndfileKnows(wave)) error = wave::undecodableText(wave);
    return {nullptr, error};
  }
  return {std::make_unique<DecodedSampleReader>(std::move(file), fileBytes), {}};
}

}  // namespace delvix::sound
