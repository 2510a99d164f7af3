#pragma once

#include <filesystem>
#include <span>
#include <string>

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
// `progress` is told of the bytes written and may stop the save (see replaceFileContents).
bool saveWaveFile(const model::Document& document, const std::filesystem::path& target, Reporter& reporter,
                  const WriteProgress& progress = {});
// The second half of that: writes a file laid out by waveFileInPlace. It reads neither the document nor its
// tree, so it may run on another thread while the samples the insets show are kept alive.
bool deliverWaveFile(const std::filesystem::path& target, const WrittenFile& file, Reporter& reporter,
                     const WriteProgress& progress = {});

// Channel `channel` (from 0) of the document's samples as a mono wave file of the same encoding, rate and
// sample size (a "RIFF" file, a big-endian one's samples turned round); an extensible format stays extensible,
// with its valid bits, sub-format and that channel's speaker. Its "fact" counts the channel's sample frames.
// Why that cannot be done (a compressed encoding, no such channel), or empty.
std::string singleChannelRefusal(const model::WaveState& wave, int channel);
// The file, or an empty, incomplete one when singleChannelRefusal gives a reason.
WrittenFile writeSingleChannel(const model::WaveState& wave, int channel);
// Writes it to `target`, checking the size before taking the memory for it; false, having said why, when the
// channel cannot be saved or the file not written. `progress` counts the gathering of the channel's samples
// and then the writing of the file, and may stop either.
bool saveSingleChannel(const model::WaveState& wave, int channel, const std::filesystem::path& target,
                       Reporter& reporter, const WriteProgress& progress = {});
inline bool saveSingleChannel(const model::Document& document, int channel, const std::filesystem::path& target,
                              Reporter& reporter, const WriteProgress& progress = {}) {
  return saveSingleChannel(document.wave, channel, target, reporter, progress);
}

}  // namespace delvix::formats
