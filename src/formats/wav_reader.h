#pragma once

#include <filesystem>

#include "formats/byte_reader.h"
#include "formats/reporter.h"
#include "model/document.h"

namespace delvix::formats {

// Reads a wave file (a RIFF form; its type is not checked) into an empty document: "RIFF_WAVE" with
// "fmt", "fact", "data" and the INFO list, and the wave state with the format, the sample data and the
// playing time. A big-endian "RIFX" file and an "RF64" file are read too. Returns false when the form,
// "fmt " or "data" is missing; what was read stays.
bool readWaveFile(Bytes file, model::Document& document, Reporter& reporter);
// The same, keeping the samples as a view of `file` instead of copying them.
bool readWaveFile(const model::SharedBytes& file, model::Document& document, Reporter& reporter);
bool readWaveFile(const std::filesystem::path& path, model::Document& document, Reporter& reporter);

// The playing time in seconds: for PCM the data size over the bytes per second that the frame size
// (model::WaveState::pcmFrameBytes) and the sample rate give; for other formats the "fact" frame count
// over the sample rate; 0 when a divisor is 0.
float playingTimeOf(const model::WaveState& wave);

}  // namespace delvix::formats
