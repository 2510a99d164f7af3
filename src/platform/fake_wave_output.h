#pragma once

#include <vector>

#include "platform/wave_output.h"

namespace delvix::platform {

// A sound output for tests: keeps what it is given to play, finishes only when told to, plays the formats
// it is told it supports and can be made to fail as a missing sound server would.
class FakeWaveOutput : public WaveOutput {
 public:
  struct Played {
    wave::PcmFormat format;
    std::vector<std::uint8_t> bytes;  // everything the source gave
  };

  bool supports(const wave::PcmFormat& format) const override {
    for (const wave::PcmFormat& supported : supportedFormats)
      if (supported == format) return true;
    return false;
  }

  bool play(std::unique_ptr<wave::PcmSource> source, std::string& error) override {
    stop();
    if (!openError.empty()) {
      error = openError;
      return false;
    }
    if (!source) {
      error = "There is no sound to play.";
      return false;
    }
    Played sound{source->format(), {}};
    std::vector<std::uint8_t> piece(4096);
    while (const std::size_t read = source->read(piece))
      sound.bytes.insert(sound.bytes.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(read));
    played.push_back(std::move(sound));
    playing_ = true;
    return true;
  }

  void stop() override {
    if (!playing_) return;
    ++stops;
    finish();
  }

  bool playing() const override { return playing_; }

  // The sound that is playing comes to its end; false when none is playing.
  bool finish() {
    if (!playing_) return false;
    playing_ = false;
    ++finishedCount;
    if (finished) finished();
    return true;
  }

  std::vector<wave::PcmFormat> supportedFormats;
  // When set, play() fails with this text.
  std::string openError;
  std::vector<Played> played;
  int stops = 0;
  int finishedCount = 0;

 private:
  bool playing_ = false;
};

}  // namespace delvix::platform
