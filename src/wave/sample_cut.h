#pragma once

#include <cstdint>
#include <string>

#include "model/document.h"

namespace delvix::wave {

// The sample frames of the document's data (whole frames; 0 when the frame size is not known), in 64 bits.
std::uint64_t frameCountOf(const model::WaveState& wave);

// Removes sample frames `first` to `last` (both included) of every channel: the data becomes a new block of
// the frames before and after (the old one stays alive for whoever still holds it, a sound playing), the data
// size, the playing time and, for PCM with a "fact" chunk, the fact value follow; the stored sizes and the
// status text are worked out again. False, with nothing changed, when the range is not inside the data, the
// format is not PCM (frames of block codecs cannot be cut apart) or the memory for the new block is not there.
bool cutFrames(model::Document& document, std::uint64_t first, std::uint64_t last);

}  // namespace delvix::wave
