// Reads arbitrary bytes as a wave file, prepares the channels and draws the first screen.
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/wav_reader.h"
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
  }
  return bytes == SIZE_MAX ? 1 : 0;
}
