#include "formats/wav_writer.h"

#include "formats/icon_image_writer.h"
#include "formats/riff/riff_writer.h"
#include "formats/wave_byte_order.h"

namespace delvix::formats {

namespace {

using riff::fourccFromString;

// What a 32-bit RIFF size can count: the form type and every chunk after it.
constexpr std::uint64_t largestRiffSize = 0xFFFFFFFF;

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

enum class Parts { whole, soundOnly };

// The file with the samples left where they are (an inset for each piece), so that laying it out copies nothing large.
WrittenFile waveFileLayout(const model::Document& document, Parts parts = Parts::whole) {
  const model::Node* root = document.tree.findFirst("RIFF_WAVE");
  if (!root) return WrittenFile{{}, false, {}};
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
  const auto writeData = [&] {
    writer.open(fourccFromString("data"));
    for (const model::SharedBytes& piece : wave.samples.pieces()) writer.bytesInPlace(piece);
    writer.close();
  };
  // An empty "data" goes last: readers take what follows a "data" of 0 bytes for the samples of a recording
  // that was never closed, unless it starts with a chunk name.
  const bool dataLast = wave.samples.size() == 0;
  if (!dataLast) writeData();
  if (parts == Parts::whole) {
    if (const model::Node* info = root->findChild("List_info")) riff::writeInfoList(writer, *info);
    riff::writeKeptChunks(writer, *root);
  }
  if (dataLast) writeData();
  return writer.finishFile();
}

// Saves a RIFF file unless it is larger than its 32-bit sizes can describe; then nothing is written.
bool deliverRiffFile(const std::filesystem::path& target, const WrittenFile& file, std::string_view cannotCreateText,
                     Reporter& reporter) {
  const std::uint64_t riffSize = file.size() < 8 ? 0 : file.size() - 8;
  if (riffSize > largestRiffSize) {
    reporter.error("The wave file would be " + std::to_string(file.size()) +
                       " bytes long, more than a RIFF file can describe (4 GiB); " + target.string() +
                       " was not written.",
                   Buttons::ok);
    return false;
  }
  return deliverFile(target, file, cannotCreateText, reporter);
}

WrittenFile inOnePiece(WrittenFile file) {
  if (!file.insets.empty()) {
    file.bytes = file.joined();
    file.insets.clear();
  }
  return file;
}

WrittenFile singleChannelLayout(const model::WaveFormat& source, std::span<const std::uint8_t> channel) {
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
  writer.chunkInPlace(fourccFromString("data"), channel);
  return writer.finishFile();
}

}  // namespace

WrittenFile writeWaveFile(const model::Document& document) { return inOnePiece(waveFileLayout(document)); }

WrittenFile waveFileInPlace(const model::Document& document) { return waveFileLayout(document); }

WrittenFile soundFileInPlace(const model::Document& document) { return waveFileLayout(document, Parts::soundOnly); }

std::uint64_t waveFileSize(const model::Document& document) { return waveFileLayout(document).size(); }

bool saveWaveFile(const model::Document& document, const std::filesystem::path& target, Reporter& reporter) {
  return deliverRiffFile(target, waveFileLayout(document), "Could not open this file.", reporter);
}

WrittenFile writeSingleChannel(const model::WaveFormat& source, std::span<const std::uint8_t> channel) {
  return inOnePiece(singleChannelLayout(source, channel));
}

bool saveSingleChannel(const model::WaveFormat& source, std::span<const std::uint8_t> channel,
                       const std::filesystem::path& target, Reporter& reporter) {
  return deliverRiffFile(target, singleChannelLayout(source, channel), "Could not open this file to write.", reporter);
}

}  // namespace delvix::formats
