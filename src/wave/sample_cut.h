#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/document.h"
#include "wave/sample_reader.h"

namespace delvix::wave {

// The layout of sample frames that stand alone, which can be cut and split into channels: what sampleLayoutOf
// gives, and integer PCM in containers wider than 4 bytes too (moved as bytes, never read as numbers).
std::optional<SampleLayout> frameLayoutOf(const model::WaveState& wave);

// The sample frames of the document's data (whole frames; 0 when the frame size is not known), in 64 bits.
std::uint64_t frameCountOf(const model::WaveState& wave);

// Removes sample frames `first` to `last` (both included) of every channel: the data keeps the pieces of the
// frames before and after, no sample is copied (the old pieces stay alive for whoever still holds them, a
// sound playing), the data size, the playing time and, with a "fact" chunk, the fact value follow; the stored
// sizes and the status text are worked out again. False, with nothing changed, when the range is not inside the
// data or cutRefusal gives a reason.
bool cutFrames(model::Document& document, std::uint64_t first, std::uint64_t last);

// Why the document's samples cannot be cut (a compressed encoding, whose blocks cannot be split without decoding
// them): "Samples of the wave encoding 0x0002 (MS ADPCM) cannot be cut; save the sound as PCM to cut it." Empty
// when they can.
std::string cutRefusal(const model::WaveState& wave);

}  // namespace delvix::wave
