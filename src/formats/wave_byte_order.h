#pragma once

#include <cstdint>
#include <span>

#include "model/wave_state.h"

namespace delvix::formats {

// The numbers of the extensible format after cbSize (valid bits, channel mask, the sub-format GUID's three
// integer fields) with their bytes reversed: from a big-endian file's order to little-endian and back.
// A tail too short to hold them is left as it is.
void reverseExtensibleNumbers(std::span<std::uint8_t> formatTail);

// The sample data with every sample little-endian, as the sound output plays it: the data itself for a
// little-endian file, 8-bit samples or a coded format, otherwise (PCM or float of a big-endian file) a
// copy with each sample's bytes reversed.
model::SampleData littleEndianSamples(const model::WaveState& wave);

}  // namespace delvix::formats
