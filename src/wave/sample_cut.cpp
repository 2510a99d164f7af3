#include "wave/sample_cut.h"

#include <algorithm>
#include <limits>

#include "fieldview/apply.h"
#include "formats/wav_reader.h"

namespace delvix::wave {

namespace {

// The bytes of one sample frame, or 0 when the format does not say.
std::uint64_t frameBytesOf(const model::WaveState& wave) {
  return wave.isPcm() ? wave.pcmFrameBytes() : wave.format.blockAlign;
}

// The sample bytes there are: the data size, but never past what is held.
std::uint64_t heldBytes(const model::WaveState& wave) { return std::min(wave.dataSize, wave.samples.size()); }

}  // namespace

std::uint64_t frameCountOf(const model::WaveState& wave) {
  const std::uint64_t frameBytes = frameBytesOf(wave);
  return frameBytes == 0 ? 0 : heldBytes(wave) / frameBytes;
}

bool cutFrames(model::Document& document, std::uint64_t first, std::uint64_t last) {
  model::WaveState& wave = document.wave;
  // Only PCM is cut: a frame of a block codec (ADPCM, GSM) is not a sample frame, and its blocks cannot be
  // split without decoding them.
  if (!wave.isPcm()) return false;
  const std::uint64_t frames = frameCountOf(wave);
  if (first > last || last >= frames) return false;
  const std::uint64_t frameBytes = wave.pcmFrameBytes();
  // Bytes of a partial frame at the end stay after the frames that are kept.
  model::SampleData shortened = wave.samples.slice(0, heldBytes(wave));
  shortened.erase(first * frameBytes, (last - first + 1) * frameBytes);

  // The old pieces are only let go: a sound that plays from them, or an old state kept for undoing, keeps them.
  wave.samples = std::move(shortened);
  wave.dataSize = wave.samples.size();
  wave.playingTime = formats::playingTimeOf(wave);
  if (wave.hasFact || wave.factValue != 0) {  // when the writer writes a "fact" chunk
    const std::uint64_t framesLeft = frames - (last - first + 1);
    wave.factValue =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(framesLeft, std::numeric_limits<std::uint32_t>::max()));
  }
  fieldview::refreshStoredSizes(document);
  return true;
}

}  // namespace delvix::wave
