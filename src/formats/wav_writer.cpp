#include "formats/wav_writer.h"

#include "formats/icon_image_writer.h"
#include "formats/riff/riff_writer.h"
#include "formats/wave_byte_order.h"

namespace delvix::formats {

namespace {

using riff::fourccFromString;

void writeFormat(riff::RiffWriter& writer, const model::WaveFormat& f, bool withExtraSize,
                 std::span<const std::uint8_t> tail) {
  writer.open(fourccFromString("fmt "));
  writer.u16(f.formatTag);
  writer.u16(f.channels);
  writer.u32(f.samplesPerSecond);
  writer.u32(f.averageBytesPerSecond);
  writer.u16(f.blockAlign);
  writer.u16(f.bitsPerSample);
  if (withExtraSize) writer.u16(f.extraSize);
  writer.bytes(tail);
  writer.close();
}

}  // namespace

WrittenFile writeWaveFile(const model::Document& document) {
  WrittenFile file;
  const model::Node* root = document.tree.findFirst("RIFF_WAVE");
  if (!root) {
    file.complete = false;
    return file;
  }
  const model::WaveState& wave = document.wave;
  riff::RiffWriter writer(wave.bigEndian ? riff::ByteOrder::big : riff::ByteOrder::little);
  writer.open(wave.bigEndian ? riff::rifxId : riff::riffId, fourccFromString("WAVE"));
  model::Block tail = wave.formatTail;
  if (wave.bigEndian && wave.format.formatTag == model::waveExtensibleTag) reverseExtensibleNumbers(tail);
  writeFormat(writer, wave.format, wave.fmtSize >= 18 || !tail.empty(), tail);
  if (wave.hasFact || wave.factValue != 0) {
    writer.open(fourccFromString("fact"));
    writer.u32(wave.factValue);
    writer.close();
  }
  writer.chunk(fourccFromString("data"), wave.samples.bytes());
  if (const model::Node* info = root->findChild("List_info")) riff::writeInfoList(writer, *info);
  riff::writeKeptChunks(writer, *root);
  file.bytes = writer.finish();
  return file;
}

bool saveWaveFile(const model::Document& document, const std::filesystem::path& target, Reporter& reporter) {
  return deliverFile(target, writeWaveFile(document), "Could not open this file.", reporter);
}

WrittenFile writeSingleChannel(const model::WaveFormat& source, std::span<const std::uint8_t> channel) {
  model::WaveFormat mono;
  mono.formatTag = model::wavePcmTag;
  mono.channels = 1;
  mono.samplesPerSecond = source.samplesPerSecond;
  mono.bitsPerSample = source.bitsPerSample;
  mono.averageBytesPerSecond =
      static_cast<std::uint32_t>(std::uint64_t{source.samplesPerSecond} * source.bitsPerSample / 8);
  mono.blockAlign = static_cast<std::uint16_t>(source.bitsPerSample / 8);
  mono.extraSize = 0;

  riff::RiffWriter writer;
  writer.open(fourccFromString("RIFF"), fourccFromString("WAVE"));
  writeFormat(writer, mono, true, {});
  writer.open(fourccFromString("fact"));
  writer.u32(static_cast<std::uint32_t>(mono.blockAlign ? channel.size() / mono.blockAlign : channel.size()));
  writer.close();
  writer.chunk(fourccFromString("data"), channel);
  return WrittenFile{writer.finish(), true};
}

bool saveSingleChannel(const model::WaveFormat& source, std::span<const std::uint8_t> channel,
                       const std::filesystem::path& target, Reporter& reporter) {
  return deliverFile(target, writeSingleChannel(source, channel), "Could not open this file to write.", reporter);
}

}  // namespace delvix::formats
