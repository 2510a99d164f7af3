#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/wave_output.h"

namespace delvix::platform {

// A sound output for tests: keeps what it is given to play (all of it at once, or as much as it is told to
// pull), finishes only when told to, plays the formats it is told it supports and can be made to fail as a
// missing sound server would.
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
    played.push_back({source->format(), {}});
    source_ = std::move(source);
    playing_ = true;
    pull(pullAtStart);
    return true;
  }

  // Pulls up to `bytes` more of the playing sound, as a sound server asks for it; how many it got.
  std::size_t pull(std::size_t bytes) {
    if (!playing_ || !source_) return 0;
    std::vector<std::uint8_t>& kept = played.back().bytes;
    const std::size_t before = kept.size();
    std::vector<std::uint8_t> piece(4096);
    while (kept.size() - before < bytes) {
      const std::size_t wanted = std::min(piece.size(), bytes - (kept.size() - before));
      const std::size_t read = source_->read(std::span(piece).first(wanted));
      if (read == 0) break;
      kept.insert(kept.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(read));
    }
    return kept.size() - before;
  }

  // The time the bytes pulled so far take to play.
  std::uint64_t playedMicroseconds() const override {
    if (!playing_) return 0;
    const Played& sound = played.back();
    const std::uint64_t frameBytes =
        static_cast<std::uint64_t>(sound.format.channels) * static_cast<std::uint64_t>(sound.format.bitsPerSample / 8);
    if (frameBytes == 0 || sound.format.sampleRate < 1) return 0;
    return sound.bytes.size() / frameBytes * 1'000'000 / static_cast<std::uint64_t>(sound.format.sampleRate);
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
    source_.reset();
    ++finishedCount;
    if (finished) finished();
    return true;
  }

  std::vector<wave::PcmFormat> supportedFormats;
  // When set, play() fails with this text.
  std::string openError;
  // How much of a sound play() pulls at once: all of it unless told otherwise.
  std::size_t pullAtStart = SIZE_MAX;
  std::vector<Played> played;
  int stops = 0;
  int finishedCount = 0;

 private:
  std::unique_ptr<wave::PcmSource> source_;
  bool playing_ = false;
};

}  // namespace delvix::platform
