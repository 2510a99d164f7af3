#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "wave/pcm_source.h"
#include "wave/sample_reader.h"

namespace delvix::wave {

// How much of each of a file's channels goes into each channel of the output: gains[output * inputs + input].
struct MixMatrix {
  int inputs = 0;
  int outputs = 0;
  std::vector<float> gains;
};

// The standard down-mix of `channels` channels to `outputs` (1 or 2): stereo as it is, mono to both sides, 3 to
// 8 channels by their speaker positions (the extensible channel mask, or the usual order without one) with the
// centre and the surrounds at -3 dB and the LFE left out, scaled so that no output can pass full scale.
MixMatrix downMixMatrix(int channels, std::uint32_t channelMask, int outputs);

// Frames [first, end) of `reader` (end cut to its frames) as 16-bit PCM of the matrix's outputs at `sampleRate`,
// rounded and clamped to full scale. The source keeps the reader, and counts the frames it has handed out
// (framesRead), so the player knows what is playing. Null when the matrix does not fit the reader.
class MixedSource : public PcmSource {
 public:
  virtual std::uint64_t framesRead() const = 0;
};
std::unique_ptr<MixedSource> mixedSource(std::unique_ptr<SampleReader> reader, int sampleRate, MixMatrix matrix,
                                         std::uint64_t first, std::uint64_t end);

// The frame that is heard after `playedMicroseconds` of playing frames [first, end) at `sampleRate`: for the
// play cursor. Never past `end`.
std::uint64_t playedFrame(std::uint64_t first, std::uint64_t end, std::uint64_t playedMicroseconds, int sampleRate);

}  // namespace delvix::wave
