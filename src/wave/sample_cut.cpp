#include "wave/sample_cut.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "fieldview/apply.h"
#include "formats/wav_reader.h"

namespace delvix::wave {

namespace {

// The sample bytes there are: the data size, but never past what is held.
std::uint64_t heldBytes(const model::WaveState& wave) { return std::min(wave.dataSize, wave.samples.size()); }

}  // namespace

std::optional<SampleLayout> frameLayoutOf(const model::WaveState& wave) {
  if (std::optional<SampleLayout> layout = sampleLayoutOf(wave)) return layout;
  const std::uint32_t containerBytes = wave.containerBytes();
  if (!wave.isPcm() || wave.format.channels == 0 || containerBytes == 0) return std::nullopt;
  return SampleLayout{SampleEncoding::signedInteger, wave.format.channels, static_cast<int>(containerBytes),
                      wave.format.channels * containerBytes, wave.bigEndian};
}

std::uint64_t frameCountOf(const model::WaveState& wave) {
  const std::optional<SampleLayout> layout = frameLayoutOf(wave);
  // A block codec's frame is its block.
  const std::uint64_t frameBytes = layout ? layout->frameBytes : wave.format.blockAlign;
  return frameBytes == 0 ? 0 : heldBytes(wave) / frameBytes;
}

std::string cutRefusal(const model::WaveState& wave) {
  if (frameLayoutOf(wave)) return {};
  const std::uint16_t tag = encodingTagOf(wave);
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%04X", tag);
  return std::string("Samples of the wave encoding ") + hex + " (" + encodingName(tag) +
         ") cannot be cut; save the sound as PCM to cut it.";
}

bool cutFrames(model::Document& document, std::uint64_t first, std::uint64_t last) {
  model::WaveState& wave = document.wave;
  // A frame of a block codec (ADPCM, GSM) is not a sample frame, and its blocks cannot be split without
  // decoding them.
  const std::optional<SampleLayout> layout = frameLayoutOf(wave);
  if (!layout) return false;
  const std::uint64_t frames = frameCountOf(wave);
  if (first > last || last >= frames) return false;
  const std::uint64_t frameBytes = layout->frameBytes;
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
