// Reads arbitrary bytes as a wave file, prepares the channels and draws the first screen, then lays the
// document out again as the writer would and turns its samples little-endian for playing; plays both channels
// and the whole data through the sound sources, then cuts the middle third of the frames and lays it out again.
// Reading the headers only, as the wave browser does, must give the same format and playing time.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "formats/wav_reader.h"
#include "formats/wav_writer.h"
#include "formats/wave_byte_order.h"
#include "formats/wave_channels.h"
#include "model/document.h"
#include "wave/pcm_source.h"
#include "wave/sample_cut.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  delvix::model::Document document;
  delvix::formats::RecordingReporter reporter;
  const bool read = delvix::formats::readWaveFile(std::span(data, size), document, reporter);
  {
    delvix::formats::MemorySource source(std::span(data, size));
    delvix::model::Document headers;
    delvix::formats::RecordingReporter notes;
    if (delvix::formats::readWaveHeaders(source, headers, notes) && read &&
        (headers.wave.format != document.wave.format || headers.wave.playingTime != document.wave.playingTime))
      __builtin_trap();
  }
  std::size_t bytes = 0;
  document.tree.forEach([&](const delvix::model::Node& node, int) { bytes += node.block().size(); });
  delvix::formats::WaveChannels channels = delvix::formats::prepareChannels(document.wave);
  for (const auto* channel : {&channels.left, &channels.right}) {
    delvix::formats::ChannelPoints points(*channel, 64);
    bytes += delvix::formats::drawWaveform(points, 128, 64).pixels().size();
    bytes += channel->gather().size();
  }
  bytes += delvix::formats::writeWaveFile(document).bytes.size();
  bytes += delvix::formats::littleEndianSamples(document.wave).size();
  std::vector<std::uint8_t> buffer(4099);
  std::unique_ptr<delvix::wave::PcmSource> sources[] = {delvix::wave::channelSource(document, false),
                                                        delvix::wave::channelSource(document, true),
                                                        delvix::wave::pcmDataSource(document)};
  for (auto& source : sources)
    while (source && source->read(buffer) != 0) bytes += source->remaining();
  const std::uint64_t frames = delvix::wave::frameCountOf(document.wave);
  if (delvix::wave::cutFrames(document, frames / 3, frames / 3 * 2))
    bytes += delvix::formats::writeWaveFile(document).bytes.size();
  return bytes == SIZE_MAX ? 1 : 0;
}
