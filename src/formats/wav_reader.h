#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "formats/byte_reader.h"
#include "formats/byte_source.h"
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

// What the wave browser needs, read from where it lies: the form, "fmt ", "fact" and the place and size of
// "data" (cut to the file), as readWaveFile reads them, without the samples, the INFO list or other chunks.
// The wave state is filled as readWaveFile fills it, with no samples; the return is as readWaveFile's.
bool readWaveHeaders(ByteSource& file, model::Document& document, Reporter& reporter);

// The sample frames of one block of a block codec (MS ADPCM, IMA ADPCM, GSM 6.10), from its "fmt " chunk.
std::optional<std::uint32_t> samplesPerBlockOf(const model::WaveState& wave);

// The playing time in seconds: sample frames per channel over the sample rate. For PCM the data size over
// the frame size (model::WaveState::pcmFrameBytes); for other formats the "fact" frame count, or without
// one whole blocks times the frames per block of a block codec, or else the data size over the bits per
// second that the format gives. Nullopt when there is nothing to divide by.
std::optional<double> playingSecondsOf(const model::WaveState& wave);
// The same, 0 when it cannot be worked out.
float playingTimeOf(const model::WaveState& wave);

}  // namespace delvix::formats
