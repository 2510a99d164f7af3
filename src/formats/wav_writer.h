#pragma once

#include <filesystem>
#include <span>

#include "formats/file_save.h"
#include "formats/reporter.h"
#include "model/document.h"

namespace delvix::formats {

// An open wave file as a RIFF "WAVE" file (a big-endian "RIFX" one when it was read from one): "fmt " (with
// every byte it had beyond the format record), "fact", "data", the INFO list (items in table order), then
// the chunks kept without interpretation. Every size describes what is written.
WrittenFile writeWaveFile(const model::Document& document);
// The same file with the samples left where the document holds them, as insets: nothing large is copied.
WrittenFile waveFileInPlace(const model::Document& document);
// The length of that file, worked out without copying the samples.
std::uint64_t waveFileSize(const model::Document& document);
// Only what a sound decoder needs ("fmt ", "fact", "data"), the samples as insets: decoders need not parse
// the INFO list or the chunks kept as they were, which some cannot parse in reasonable time.
WrittenFile soundFileInPlace(const model::Document& document);
// Writes the samples into the new file straight from where the document holds them. A file longer than
// a RIFF file can describe (more than 4 GiB) is refused with a message, and nothing is written.
bool saveWaveFile(const model::Document& document, const std::filesystem::path& target, Reporter& reporter);

// One channel's samples as a mono PCM file at the source's rate and sample size; its "fact" counts the
// channel's sample frames.
WrittenFile writeSingleChannel(const model::WaveFormat& source, std::span<const std::uint8_t> channel);
bool saveSingleChannel(const model::WaveFormat& source, std::span<const std::uint8_t> channel,
                       const std::filesystem::path& target, Reporter& reporter);

}  // namespace delvix::formats
