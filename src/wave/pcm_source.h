#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "formats/wave_channels.h"
#include "model/document.h"

namespace delvix::wave {

// PCM as a sound output takes it: little-endian, 8-bit unsigned or 16-bit signed samples, interleaved.
struct PcmFormat {
  int sampleRate = 0;
  int channels = 0;
  int bitsPerSample = 0;

  bool operator==(const PcmFormat&) const = default;
};

// Sound to play, read from the start in pieces as the output asks for it. A source keeps alive whatever
// it reads from, so the document may change (a cut, another file) while it plays.
class PcmSource {
 public:
  virtual ~PcmSource() = default;
  virtual PcmFormat format() const = 0;
  // Fills the front of `out` with the next bytes (whole sample frames); 0 at the end.
  virtual std::size_t read(std::span<std::uint8_t> out) = 0;
  // Bytes left to read, when known (0 at the end).
  virtual std::uint64_t remaining() const = 0;
};

// One channel of 8- or 16-bit PCM, as mono; null when the document has no such channel.
std::unique_ptr<PcmSource> channelSource(const model::Document& document, bool right);
// The whole data as it is, when it is 8- or 16-bit PCM (a big-endian file's samples turned round); null
// otherwise.
std::unique_ptr<PcmSource> pcmDataSource(const model::Document& document);

}  // namespace delvix::wave
