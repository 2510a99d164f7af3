#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "model/document.h"
#include "platform/wave_output.h"
#include "wave/mixdown.h"

namespace delvix::sound {

// What of a document's sound to play.
struct PlayRange {
  std::uint64_t first = 0;
  std::uint64_t end = std::numeric_limits<std::uint64_t>::max();  // cut to the frames there are
  int channel = -1;  // one channel (from 0) alone; -1 for all of them mixed down
};

// Frames [first, end) of the document's sound, whatever its encoding, as 16-bit PCM of `outputs` (1 or 2)
// channels: all its channels down-mixed by the standard matrix, or the one channel asked for on every output.
// It decodes as it is read and keeps what it reads alive. Null, with `error` saying why, when the samples cannot
// be decoded or there is no such channel.
std::unique_ptr<wave::MixedSource> playSource(const model::Document& document, const PlayRange& range, int outputs,
                                              std::string& error);

// How many channels to play the document with on `output`: two for a whole sound of two or more channels, one
// otherwise, or the other count when the output takes only that; 0 when it takes neither.
int outputChannelsFor(const platform::WaveOutput& output, const model::Document& document, const PlayRange& range);

// Starts playing the range on `output`, mixed down to what it takes; false, with `error` saying why and nothing
// playing, when it cannot. The play cursor is wave::playedFrame(range.first, end, output.playedMicroseconds(),
// the sample rate).
bool playOn(platform::WaveOutput& output, const model::Document& document, const PlayRange& range, std::string& error);

}  // namespace delvix::sound
