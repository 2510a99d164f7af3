#pragma once

#include <cstdint>
#include <vector>

#include "support/icon_builder.h"

// Small files of every kind the program opens, built in code.
namespace delvix::testing {

// An icon file (type 1) or cursor file (type 2) with one 32-bit image of each size.
ByteVector iconFile(std::vector<int> sizes, std::uint16_t type = 1);
// An animated cursor of `frames` 32 x 32 frames shown in `steps` steps, each for `rate` jiffies; with a
// sequence, step s shows frame s mod frames.
ByteVector animatedCursor(int frames, int steps, std::uint32_t rate = 6, bool withSequence = false);
// A wave file of 64 sample frames.
ByteVector waveFile(std::uint16_t channels, std::uint16_t bitsPerSample, std::uint16_t formatTag = 1);
// A wave file with a format but no "data" chunk.
ByteVector waveWithoutData();
// A module with two icon groups (16 and 32 pixels; 48 pixels), a cursor group and a bitmap.
ByteVector moduleFile();

}  // namespace delvix::testing
