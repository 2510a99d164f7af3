#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "wave/pcm_source.h"

namespace delvix::platform {

// The system's sound output: one sound at a time, played asynchronously from a source it pulls from.
class WaveOutput {
 public:
  virtual ~WaveOutput() = default;
  // Whether a sound of this format can be played as it is.
  virtual bool supports(const wave::PcmFormat& format) const = 0;
  // Starts playing `source`; false, with `error` set and nothing playing, when the output cannot be opened.
  virtual bool play(std::unique_ptr<wave::PcmSource> source, std::string& error) = 0;
  // Stops at once; `finished` is called before it returns, when a sound was playing.
  virtual void stop() = 0;
  virtual bool playing() const = 0;
  // How long the sound that plays has been heard so far, in microseconds (0 when nothing plays), for the play
  // cursor.
  virtual std::uint64_t playedMicroseconds() const { return 0; }
  // Called once for every sound that was started: when its end has been heard or it was stopped.
  std::function<void()> finished;
};

}  // namespace delvix::platform
