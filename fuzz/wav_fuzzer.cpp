// Reads arbitrary bytes as a wave file, prepares the channels and draws the first screen, then lays the
// document out again as the writer would and turns its samples little-endian for playing.
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/wav_reader.h"
#include "formats/wav_writer.h"
#include "formats/wave_byte_order.h"
#include "formats/wave_channels.h"
#include "model/document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  delvix::model::Document document;
  delvix::formats::RecordingReporter reporter;
  delvix::formats::readWaveFile(std::span(data, size), document, reporter);
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
  return bytes == SIZE_MAX ? 1 : 0;
}
