#include "sound/decoded_source.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "formats/wav_writer.h"
#include "sound/pieced_file.h"

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
  DecodedSource(const DecodedSource&) = delete;
  DecodedSource& operator=(const DecodedSource&) = delete;

  // False, with libsndfile's words in `error`, when it refuses the file.
  bool open(std::string& error) {
    SF_VIRTUAL_IO io{};
    io.get_filelen = [](void* self) {
      return static_cast<sf_count_t>(static_cast<DecodedSource*>(self)->file_.size());
    };
    io.seek = [](sf_count_t offset, int whence, void* self) {
      return static_cast<DecodedSource*>(self)->seek(offset, whence);
    };
    io.read = [](void* out, sf_count_t count, void* self) {
      return static_cast<DecodedSource*>(self)->readFile(out, count);
    };
    io.write = [](const void*, sf_count_t, void*) -> sf_count_t { return 0; };
    io.tell = [](void* self) { return static_cast<DecodedSource*>(self)->position_; };
    sound_.reset(sf_open_virtual(&io, SFM_READ, &info_, this));
    if (!sound_) {
      error = sf_strerror(nullptr);
      return false;
    }
    if (info_.channels < 1 || info_.samplerate < 1) {
      error = "The sound has no channels or no sample rate.";
      return false;
    }
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
      const sf_count_t got = sf_readf_float(sound_.get(), buffer_.data(), wanted);
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
  // Like a file's seek: a position before the start is refused, one past the end reads nothing.
  sf_count_t seek(sf_count_t offset, int whence) {
    sf_count_t base = 0;
    switch (whence) {
      case SEEK_SET: base = 0; break;
      case SEEK_CUR: base = position_; break;
      case SEEK_END: base = static_cast<sf_count_t>(file_.size()); break;
      default: return -1;
    }
    if (offset < -base || offset > std::numeric_limits<sf_count_t>::max() - base) return -1;
    position_ = base + offset;
    return position_;
  }

  sf_count_t readFile(void* out, sf_count_t count) {
    if (count <= 0 || position_ < 0) return 0;
    const std::size_t read = file_.read(static_cast<std::uint64_t>(position_),
                                        std::span(static_cast<std::uint8_t*>(out), static_cast<std::size_t>(count)));
    position_ += static_cast<sf_count_t>(read);
    return static_cast<sf_count_t>(read);
  }

  PiecedFile file_;
  sf_count_t position_ = 0;
  struct Close {
    void operator()(SNDFILE* sound) const { sf_close(sound); }
  };
  std::unique_ptr<SNDFILE, Close> sound_;
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
