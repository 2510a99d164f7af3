#include "sound/playback.h"

#include <algorithm>

#include "sound/sample_decoder.h"

namespace delvix::sound {

namespace {

// One channel on every output, as it is.
wave::MixMatrix oneChannelMatrix(int channels, int channel, int outputs) {
  wave::MixMatrix matrix{channels, outputs,
                         std::vector<float>(static_cast<std::size_t>(channels) * static_cast<std::size_t>(outputs))};
  for (int output = 0; output < outputs; ++output)
    matrix.gains[static_cast<std::size_t>(output) * static_cast<std::size_t>(channels) +
                 static_cast<std::size_t>(channel)] = 1;
  return matrix;
}

int sampleRateOf(const model::Document& document) {
  return static_cast<int>(
      std::min<std::uint32_t>(document.wave.format.samplesPerSecond, std::numeric_limits<int>::max()));
}

}  // namespace

std::unique_ptr<wave::MixedSource> playSource(const model::Document& document, const PlayRange& range, int outputs,
                                              std::string& error) {
  OpenedSamples opened = openSamples(document);
  if (!opened.reader) {
    error = opened.problem.empty() ? "The sound cannot be decoded." : opened.problem;
    return nullptr;
  }
  const int channels = opened.reader->channels();
  if (range.channel >= channels) {
    error =
        "The sound has no channel " + std::to_string(range.channel + 1) + "; it has " + std::to_string(channels) + ".";
    return nullptr;
  }
  const int rate = sampleRateOf(document);
  if (rate < 1) {
    error = "The sound has no sample rate.";
    return nullptr;
  }
  wave::MixMatrix matrix = range.channel < 0
                               ? wave::downMixMatrix(channels, wave::channelMaskOf(document.wave), outputs)
                               : oneChannelMatrix(channels, range.channel, outputs);
  auto source = wave::mixedSource(std::move(opened.reader), rate, std::move(matrix), range.first, range.end);
  if (!source) error = "The sound cannot be played on " + std::to_string(outputs) + " channel(s).";
  return source;
}

int outputChannelsFor(const platform::WaveOutput& output, const model::Document& document, const PlayRange& range) {
  const int rate = sampleRateOf(document);
  const int preferred = range.channel < 0 && document.wave.format.channels >= 2 ? 2 : 1;
  for (int outputs : {preferred, 3 - preferred})
    if (output.supports({rate, outputs, 16})) return outputs;
  return 0;
}

bool playOn(platform::WaveOutput& output, const model::Document& document, const PlayRange& range, std::string& error) {
  const int outputs = outputChannelsFor(output, document, range);
  if (outputs == 0) {
    error = "The sound output cannot play this sound (" + std::to_string(sampleRateOf(document)) +
            " Hz, 16 bits, in mono or stereo).";
    return false;
  }
  auto source = playSource(document, range, outputs, error);
  return source && output.play(std::move(source), error);
}

}  // namespace delvix::sound
