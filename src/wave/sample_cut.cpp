#include "wave/sample_cut.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <optional>

#include "fieldview/apply.h"
#include "formats/wav_reader.h"

namespace delvix::wave {

namespace {

// The bytes of one sample frame, or 0 when the format does not say.
std::uint64_t frameBytesOf(const model::WaveState& wave) {
  return wave.isPcm() ? wave.pcmFrameBytes() : wave.format.blockAlign;
}

// The sample bytes there are: the data size, but never past what is held.
std::span<const std::uint8_t> heldData(const model::WaveState& wave) {
  return wave.samples.bytes().first(std::min<std::uint64_t>(wave.dataSize, wave.samples.size()));
}

// `before` then `after` in a new block of their own, left uninitialised until they are copied in. Null when
// the memory is not there.
std::optional<model::SharedBytes> joinedCopy(std::span<const std::uint8_t> before,
                                             std::span<const std::uint8_t> after) {
  const std::size_t size = before.size() + after.size();
  std::shared_ptr<std::uint8_t[]> block;
  try {
    block = std::make_shared_for_overwrite<std::uint8_t[]>(size);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  if (!before.empty()) std::memcpy(block.get(), before.data(), before.size());
  if (!after.empty()) std::memcpy(block.get() + before.size(), after.data(), after.size());
  const std::span<const std::uint8_t> bytes(block.get(), size);
  return model::SharedBytes(std::move(block), bytes);
}

}  // namespace

std::uint64_t frameCountOf(const model::WaveState& wave) {
  const std::uint64_t frameBytes = frameBytesOf(wave);
  return frameBytes == 0 ? 0 : heldData(wave).size() / frameBytes;
}

bool cutFrames(model::Document& document, std::uint64_t first, std::uint64_t last) {
  model::WaveState& wave = document.wave;
  // Only PCM is cut: a frame of a block codec (ADPCM, GSM) is not a sample frame, and its blocks cannot be
  // split without decoding them.
  if (!wave.isPcm()) return false;
  const std::uint64_t frames = frameCountOf(wave);
  if (first > last || last >= frames) return false;
  const std::uint64_t frameBytes = wave.pcmFrameBytes();
  const std::span<const std::uint8_t> data = heldData(wave);
  // Bytes of a partial frame at the end stay after the frames that are kept.
  const auto cutStart = static_cast<std::size_t>(first * frameBytes);
  const auto cutEnd = static_cast<std::size_t>((last + 1) * frameBytes);
  auto shortened = joinedCopy(data.first(cutStart), data.subspan(cutEnd));
  if (!shortened) return false;

  // The old view is only let go: a sound that plays from it keeps it alive.
  wave.samples = std::move(*shortened);
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
