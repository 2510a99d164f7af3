#include "formats/wav_writer.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "formats/icon_image_writer.h"
#include "formats/riff/riff_writer.h"
#include "formats/scratch_file.h"
#include "formats/wave_byte_order.h"
#include "wave/sample_cut.h"

namespace delvix::formats {

namespace {

using riff::fourccFromString;

// What a 32-bit RIFF size can count: the form type and every chunk after it.
constexpr std::uint64_t largestRiffSize = 0xFFFFFFFF;
// How many gathered bytes pass between two reports of progress.
constexpr std::uint64_t progressStep = std::uint64_t{4} << 20;

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
                     Reporter& reporter, const WriteProgress& progress = {}) {
  const std::uint64_t riffSize = file.size() < 8 ? 0 : file.size() - 8;
  if (riffSize > largestRiffSize) {
    reporter.error("The wave file would be " + std::to_string(file.size()) +
                       " bytes long, more than a RIFF file can describe (4 GiB); " + target.string() +
                       " was not written.",
                   Buttons::ok);
    return false;
  }
  return deliverFile(target, file, cannotCreateText, reporter, progress);
}

WrittenFile inOnePiece(WrittenFile file) {
  if (!file.insets.empty()) {
    file.bytes = file.joined();
    file.insets.clear();
  }
  return file;
}

// The mono file's format: the source's, for one channel.
model::WaveFormat monoFormat(const model::WaveState& wave, const wave::SampleLayout& layout) {
  model::WaveFormat mono = wave.format;
  mono.channels = 1;
  mono.blockAlign = static_cast<std::uint16_t>(layout.containerBytes);
  mono.averageBytesPerSecond = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(std::uint64_t{mono.samplesPerSecond} * mono.blockAlign, 0xFFFFFFFF));
  mono.extraSize = mono.formatTag == model::waveExtensibleTag ? 22 : 0;
  return mono;
}

// The extensible fields for one channel: the valid bits and sub-format as they were, the channel's own speaker
// from the mask (none when the mask does not name it).
model::Block monoExtensibleTail(const model::WaveState& wave, int channel) {
  model::Block tail = wave.formatTail;
  tail.resize(22, 0);
  std::uint32_t mask = wave::channelMaskOf(wave), speaker = 0;
  for (int i = 0; mask != 0; ++i, mask &= mask - 1)
    if (i == channel) speaker = mask & ~(mask - 1);
  for (int i = 0; i < 4; ++i) tail[2 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(speaker >> (8 * i));
  return tail;
}

// Hands the channel's samples to `take`, little-endian, a block at a time; stops when `take` says false.
template <typename Take>
bool forEachChannelBlock(const model::WaveState& wave, const wave::SampleLayout& layout, int channel,
                         std::uint64_t frames, Take take) {
  const auto sampleBytes = static_cast<std::size_t>(layout.containerBytes);
  const std::size_t frameBytes = layout.frameBytes, offset = static_cast<std::size_t>(channel) * sampleBytes;
  // Frames are read a block at a time, so that data in pieces is read in order and once.
  const std::size_t framesAtOnce = std::max<std::size_t>(1, (1u << 16) / frameBytes);
  std::vector<std::uint8_t> block(framesAtOnce * frameBytes), samples(framesAtOnce * sampleBytes);
  for (std::uint64_t first = 0; first < frames; first += framesAtOnce) {
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(framesAtOnce, frames - first));
    wave.samples.read(first * frameBytes, std::span(block).first(count * frameBytes));
    std::uint8_t* out = samples.data();
    for (std::size_t frame = 0; frame < count; ++frame, out += sampleBytes) {
      const std::uint8_t* sample = block.data() + frame * frameBytes + offset;
      if (layout.bigEndian)
        std::reverse_copy(sample, sample + sampleBytes, out);
      else
        std::copy_n(sample, sampleBytes, out);
    }
    if (!take(std::span<const std::uint8_t>(samples).first(count * sampleBytes))) return false;
  }
  return true;
}

// The channel's samples in memory.
std::vector<std::uint8_t> channelSamples(const model::WaveState& wave, const wave::SampleLayout& layout, int channel,
                                         std::uint64_t frames) {
  std::vector<std::uint8_t> samples;
  samples.reserve(static_cast<std::size_t>(frames) * static_cast<std::size_t>(layout.containerBytes));
  forEachChannelBlock(wave, layout, channel, frames, [&](std::span<const std::uint8_t> block) {
    samples.insert(samples.end(), block.begin(), block.end());
    return true;
  });
  return samples;
}

// The mono file around `samples` (left where they are).
WrittenFile singleChannelLayout(const model::WaveState& wave, const wave::SampleLayout& layout, int channel,
                                std::span<const std::uint8_t> samples) {
  const model::WaveFormat mono = monoFormat(wave, layout);
  const model::Block tail =
      mono.formatTag == model::waveExtensibleTag ? monoExtensibleTail(wave, channel) : model::Block{};
  riff::RiffWriter writer;
  writer.open(fourccFromString("RIFF"), fourccFromString("WAVE"));
  writeFormat(writer, mono, true, tail);
  writer.open(fourccFromString("fact"));
  writer.u32(static_cast<std::uint32_t>(std::min<std::uint64_t>(samples.size() / mono.blockAlign, 0xFFFFFFFF)));
  writer.close();
  writer.chunkInPlace(fourccFromString("data"), samples);
  return writer.finishFile();
}

// The size of that file, worked out before the samples are gathered: header, fact, data and its pad byte.
std::uint64_t singleChannelFileSize(const model::WaveState& wave, std::uint64_t sampleBytes) {
  const std::uint64_t formatBytes = 18 + (wave.format.formatTag == model::waveExtensibleTag ? 22 : 0);
  return 12 + (8 + formatBytes) + 12 + 8 + sampleBytes + sampleBytes % 2;
}

}  // namespace

WrittenFile writeWaveFile(const model::Document& document) { return inOnePiece(waveFileLayout(document)); }

WrittenFile waveFileInPlace(const model::Document& document) { return waveFileLayout(document); }

WrittenFile soundFileInPlace(const model::Document& document) { return waveFileLayout(document, Parts::soundOnly); }

std::uint64_t waveFileSize(const model::Document& document) { return waveFileLayout(document).size(); }

bool saveWaveFile(const model::Document& document, const std::filesystem::path& target, Reporter& reporter,
                  const WriteProgress& progress) {
  return deliverWaveFile(target, waveFileLayout(document), reporter, progress);
}

bool deliverWaveFile(const std::filesystem::path& target, const WrittenFile& file, Reporter& reporter,
                     const WriteProgress& progress) {
  return deliverRiffFile(target, file, "Could not open this file.", reporter, progress);
}

std::string singleChannelRefusal(const model::WaveState& wave, int channel) {
  const std::optional<wave::SampleLayout> layout = wave::frameLayoutOf(wave);
  if (!layout) {
    const std::uint16_t tag = wave::encodingTagOf(wave);
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04X", tag);
    return std::string("Samples of the wave encoding ") + hex + " (" + wave::encodingName(tag) +
           ") cannot be split into channels; save the sound as PCM first.";
  }
  if (channel < 0 || channel >= layout->channels)
    return "The sound has no channel " + std::to_string(channel + 1) + "; it has " + std::to_string(layout->channels) +
           ".";
  return {};
}

WrittenFile writeSingleChannel(const model::WaveState& wave, int channel) {
  if (!singleChannelRefusal(wave, channel).empty()) return WrittenFile{{}, false, {}};
  const wave::SampleLayout layout = *wave::frameLayoutOf(wave);
  const std::vector<std::uint8_t> samples = channelSamples(wave, layout, channel, wave::frameCountOf(wave));
  return inOnePiece(singleChannelLayout(wave, layout, channel, samples));
}

bool saveSingleChannel(const model::WaveState& wave, int channel, const std::filesystem::path& target,
                       Reporter& reporter, const WriteProgress& progress) {
  if (const std::string refusal = singleChannelRefusal(wave, channel); !refusal.empty()) {
    reporter.error(refusal, Buttons::ok);
    return false;
  }
  const wave::SampleLayout layout = *wave::frameLayoutOf(wave);
  const std::uint64_t frames = wave::frameCountOf(wave);
  const std::uint64_t fileSize =
      singleChannelFileSize(wave, frames * static_cast<std::uint64_t>(layout.containerBytes));
  if (fileSize - 8 > largestRiffSize) {
    reporter.error("The wave file would be " + std::to_string(fileSize) +
                       " bytes long, more than a RIFF file can describe (4 GiB); " + target.string() +
                       " was not written.",
                   Buttons::ok);
    return false;
  }
  // A long channel is gathered in an unnamed file beside the target and written from there, not in memory.
  // The progress counts the gathering and then the writing.
  const std::uint64_t gatherBytes = fileSize;
  const WriteProgress afterGathering = [&](std::uint64_t done, std::uint64_t total) {
    return !progress || progress(gatherBytes + done, gatherBytes + total);
  };
  const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
  if (auto scratch = ScratchFile::create(folder)) {
    std::uint64_t gathered = 0, told = 0;
    bool cancelled = false;
    const bool written = forEachChannelBlock(wave, layout, channel, frames, [&](std::span<const std::uint8_t> block) {
      if (!scratch->append(block)) return false;
      gathered += block.size();
      if (progress && gathered - told >= progressStep) {
        told = gathered;
        cancelled = !progress(gathered, 2 * gatherBytes);
      }
      return !cancelled;
    });
    if (cancelled) {
      std::error_code error;
      reporter.log(failureText(target, {SaveFailure::Kind::cancelled, {}}, std::filesystem::exists(target, error)));
      return false;
    }
    if (const auto samples = written ? scratch->mapped() : std::nullopt)
      return deliverRiffFile(target, singleChannelLayout(wave, layout, channel, *samples),
                             "Could not open this file to write.", reporter, afterGathering);
  }
  std::vector<std::uint8_t> samples;
  try {
    samples = channelSamples(wave, layout, channel, frames);
  } catch (const std::bad_alloc&) {
    reporter.error("There is not enough memory for the " + std::to_string(fileSize) + " bytes of the channel; " +
                       target.string() + " was not written.",
                   Buttons::ok);
    return false;
  }
  return deliverRiffFile(target, singleChannelLayout(wave, layout, channel, samples),
                         "Could not open this file to write.", reporter, afterGathering);
}

}  // namespace delvix::formats
