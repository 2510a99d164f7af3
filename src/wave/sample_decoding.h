#pragma once

#include <cstdint>
#include <span>

#include "wave/sample_reader.h"

namespace delvix::wave {

// Turns samples stored as `layout` says into numbers from -1 to 1: `bytes` holds out.size() samples of
// layout.containerBytes bytes each, one after another.
void decodeSamples(const SampleLayout& layout, std::span<const std::uint8_t> bytes, std::span<float> out);

}  // namespace delvix::wave
