#include "formats/wav_reader.h"

#include <algorithm>
#include <array>
#include <memory>
#include <set>

#include "formats/byte_source.h"
#include "formats/file_content.h"
#include "formats/le_bytes.h"
#include "formats/mapped_file.h"
#include "formats/riff/riff_navigator.h"
#include "formats/riff/riff_nodes.h"
#include "formats/wave_byte_order.h"

namespace delvix::formats {

namespace {

using model::Block;
using model::Node;
using riff::ByteOrder;
using riff::Chunk;
using riff::fourcc;

constexpr riff::FourCC formatId = riff::fourccFromString("fmt");
constexpr riff::FourCC factId = fourcc('f', 'a', 'c', 't');
constexpr riff::FourCC dataId = fourcc('d', 'a', 't', 'a');
constexpr riff::FourCC infoType = fourcc('I', 'N', 'F', 'O');
constexpr riff::FourCC sizesId = fourcc('d', 's', '6', '4');
constexpr std::uint32_t sizeInSizesChunk = 0xFFFFFFFF;

// The GUID of the PCM sub-format, as stored at offset 24 of WAVE_FORMAT_EXTENSIBLE.
constexpr std::array<std::uint8_t, 16> pcmSubFormat{0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                                    0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr std::size_t subFormatOffsetInTail = 6;
// Of a "fmt " chunk read for its headers only: more than any format's fixed fields take.
constexpr std::size_t formatBytesForHeaders = 1024;

// Block codecs whose "fmt " chunk gives the sample frames of one block right after the 18-byte record.

bool looksLikeChunkHeader(ByteSource& file, std::size_t offset) {
  if (offset > file.size() || file.size() - offset < riff::chunkHeaderSize) return false;
  const Bytes id = file.read(offset, 4);
  return id.size() == 4 && std::all_of(id.begin(), id.end(), [](std::uint8_t b) { return b >= 0x20 && b < 0x7F; });
}

enum class WaveParts { all, headersOnly };

class WaveReader {
 public:
  // With shared file bytes the samples stay in them; without them they are copied out. With only the
  // headers, neither the samples nor the INFO list nor kept chunks are read.
  WaveReader(ByteSource& file, const model::SharedBytes* sharedFile, model::Document& document, Reporter& reporter,
             WaveParts parts)
      : file_(file),
        sharedFile_(sharedFile),
        document_(document),
        wave_(document.wave),
        reporter_(reporter),
        navigator_(file, &reporter),
        parts_(parts) {}

  bool read() {
    document_.kind = model::FileKind::wave;
    wave_ = {};
    root_ = &document_.tree.addTopLevel("RIFF_WAVE");
    if (!descendForm()) return false;
    wave_.riffSize = riffSize_;
    document_.statusText = " RIFF size: " + std::to_string(riffSize_) + " bytes";

    const bool complete = readChunks();
    if (complete && parts_ == WaveParts::all) riff::addUninterpretedChunks(navigator_, form_, interpreted_, *root_);
    wave_.playingTime = playingTimeOf(wave_);
    return complete;
  }

 private:
  std::size_t formStart() const { return form_.dataOffset + 4; }

  // A "RIFF" form, a big-endian "RIFX" one, or else an "RF64" one, whose sizes of 0xFFFFFFFF stand for the
  // 64-bit ones of its "ds64" chunk (riff size, data size, sample count). A file that starts with a "RIFX"
  // or "RF64" header is not walked for a "RIFF" form first.
  bool descendForm() {
    const Bytes start = file_.read(0, 4);
    const riff::FourCC leading = start.size() == 4 ? le32(start, 0) : 0;
    int riff = riff::code::chunkNotFound;
    if (leading != riff::rifxId && leading != riff::rf64Id) {
      riff = navigator_.descendRiff(form_);
      riffSize_ = form_.declaredSize;
      if (riff == riff::code::ok) return true;
    }
    if (leading != riff::rf64Id) {
      navigator_.seek(0);
      navigator_.setByteOrder(ByteOrder::big);
      if (navigator_.descendForm(form_, riff::rifxId) == riff::code::ok) {
        wave_.bigEndian = true;
        riffSize_ = form_.declaredSize;
        return true;
      }
      navigator_.setByteOrder(ByteOrder::little);
    }
    navigator_.seek(0);
    navigator_.noteSizesKeptElsewhere();
    if (navigator_.descendForm(form_, riff::rf64Id) != riff::code::ok) return check(riff);
    reporter_.log("This is an RF64 file: its sizes are taken from its 'ds64' chunk; it is saved as a RIFF file.");
    riffSize_ = form_.declaredSize;
    Chunk sizes;
    std::array<std::uint8_t, 16> values{};
    // Without a whole "ds64" the sizes of 0xFFFFFFFF are cut to what the file holds, as in a RIFF form.
    if (navigator_.descendChunk(sizes, form_, sizesId) != riff::code::ok) return true;
    interpreted_.insert(sizes.dataOffset);
    const bool whole = navigator_.read(values) == values.size();
    navigator_.ascend(sizes);
    if (!whole) return true;
    if (form_.declaredSize == sizeInSizesChunk) riffSize_ = le64(values, 0);
    navigator_.setSizeKeptElsewhere(dataId, le64(values, 8));
    return true;
  }

  bool readChunks() {
    if (!readFormat()) return false;
    readFact();
    if (!readData()) return false;
    if (parts_ == WaveParts::all) readInfoList();
    return true;
  }

  bool check(int result) {
    if (result == riff::code::ok) return true;
    reporter_.dialog({"MMIO Error. Error Code: " + std::to_string(result), Buttons::ok, BoxKind::plain, "MMIO Error"});
    return false;
  }

  bool readFormat() {
    Chunk chunk;
    if (!check(navigator_.descendChunk(chunk, form_, formatId))) return false;
    interpreted_.insert(chunk.dataOffset);
    wave_.fmtSize = chunk.declaredSize;
    Bytes data = navigator_.read(parts_ == WaveParts::all ? chunk.size : std::min(chunk.size, formatBytesForHeaders));
    Block record(model::waveFormatRecordSize, 0);
    std::copy_n(data.begin(), std::min(data.size(), record.size()), record.begin());
    const ByteOrder order = navigator_.byteOrder();
    model::WaveFormat& f = wave_.format;
    f.formatTag = riff::u16In(record, 0, order);
    f.channels = riff::u16In(record, 2, order);
    f.samplesPerSecond = riff::u32In(record, 4, order);
    f.averageBytesPerSecond = riff::u32In(record, 8, order);
    f.blockAlign = riff::u16In(record, 12, order);
    f.bitsPerSample = riff::u16In(record, 14, order);
    f.extraSize = riff::u16In(record, 16, order);
    if (data.size() > record.size()) wave_.formatTail.assign(data.begin() + record.size(), data.end());
    if (wave_.bigEndian && f.formatTag == model::waveExtensibleTag) reverseExtensibleNumbers(wave_.formatTail);
    readExtensible();
    noteBlockAlign();
    root_->addChild("fmt", {}, model::state::formatHeader);
    return check(navigator_.ascend(chunk));
  }

  void readExtensible() {
    const Block& tail = wave_.formatTail;
    wave_.validBitsPerSample = wave_.format.bitsPerSample;
    if (wave_.format.formatTag != model::waveExtensibleTag || tail.size() < subFormatOffsetInTail + pcmSubFormat.size())
      return;
    if (std::uint16_t valid = le16(tail, 0)) wave_.validBitsPerSample = valid;
    wave_.extensiblePcm = std::equal(pcmSubFormat.begin(), pcmSubFormat.end(), tail.begin() + subFormatOffsetInTail);
  }

  void noteBlockAlign() {
    const model::WaveFormat& f = wave_.format;
    if (!wave_.isPcm() || wave_.pcmFrameBytes() == f.blockAlign) return;
    reporter_.log("The block align of " + std::to_string(f.blockAlign) + " bytes does not fit " +
                  std::to_string(f.channels) + " channels of " + std::to_string(f.bitsPerSample) +
                  " bits; a sample frame is taken as " + std::to_string(wave_.pcmFrameBytes()) + " bytes.");
  }

  void readFact() {
    navigator_.seek(formStart());
    Chunk chunk;
    if (navigator_.descendChunk(chunk, form_, factId) != riff::code::ok) return;
    interpreted_.insert(chunk.dataOffset);
    std::array<std::uint8_t, 4> value{};
    if (navigator_.read(std::span(value).first(std::min<std::size_t>(4, chunk.size))) < 4)
      reporter_.log("The 'fact' chunk holds " + std::to_string(chunk.size) + " bytes instead of 4.");
    wave_.factValue = riff::u32In(value, 0, navigator_.byteOrder());
    wave_.hasFact = true;
    root_->addChild("fact");
    navigator_.ascend(chunk);
  }

  bool readData() {
    navigator_.seek(formStart());
    Chunk chunk;
    if (!check(navigator_.descendChunk(chunk, form_, dataId))) return false;
    interpreted_.insert(chunk.dataOffset);
    if (chunk.declaredSize == 0 && chunk.dataOffset < form_.end() && !looksLikeChunkHeader(file_, chunk.dataOffset)) {
      chunk.size = form_.end() - chunk.dataOffset;
      reporter_.log("The 'data' chunk declares 0 bytes, but " + std::to_string(chunk.size) +
                    " bytes follow it; they are taken as the sample data.");
    }
    if (parts_ == WaveParts::all) {
      const Bytes samples = navigator_.read(chunk.size);
      wave_.dataSize = samples.size();
      wave_.samples = sharedFile_ ? sharedFile_->part(samples) : model::SharedBytes::copyOf(samples);
    } else {
      wave_.dataSize = chunk.size;
    }
    root_->addChild("data", {}, model::state::waveData);
    return check(navigator_.ascend(chunk));
  }

  void readInfoList() {
    navigator_.seek(formStart());
    Chunk list;
    if (navigator_.descendList(list, form_, infoType) != riff::code::ok) return;
    interpreted_.insert(list.dataOffset);
    wave_.infoListSize = list.declaredSize;
    Node& listInfo = root_->addChild("List_info", {}, model::state::listChunk);
    riff::addInfoItems(navigator_, list, listInfo);
  }

  ByteSource& file_;
  const model::SharedBytes* sharedFile_;
  model::Document& document_;
  model::WaveState& wave_;
  Reporter& reporter_;
  riff::Navigator navigator_;
  WaveParts parts_;
  Chunk form_;
  std::uint64_t riffSize_ = 0;
  Node* root_ = nullptr;
  std::set<std::size_t> interpreted_;
};

}  // namespace

std::optional<std::uint32_t> samplesPerBlockOf(const model::WaveState& wave) {
  const std::uint16_t tag = wave.format.formatTag;
  if ((tag != model::waveMsAdpcmTag && tag != model::waveImaAdpcmTag && tag != model::waveGsmTag) ||
      wave.formatTail.size() < 2)
    return std::nullopt;
  const std::uint16_t perBlock = le16(wave.formatTail, 0);
  return perBlock == 0 ? std::nullopt : std::optional<std::uint32_t>(perBlock);
}

std::optional<double> playingSecondsOf(const model::WaveState& wave) {
  const model::WaveFormat& f = wave.format;
  if (f.samplesPerSecond == 0) return std::nullopt;
  const double rate = f.samplesPerSecond;
  const auto dataSize = static_cast<double>(wave.dataSize);
  if (wave.isPcm()) {
    if (wave.pcmFrameBytes() == 0) return std::nullopt;
    return dataSize / (wave.pcmFrameBytes() * rate);
  }
  if (wave.factValue != 0) return wave.factValue / rate;
  // Without a frame count (a streaming writer leaves it 0), a block codec holds whole blocks of a known
  // number of frames.
  if (auto perBlock = samplesPerBlockOf(wave); perBlock && f.blockAlign != 0)
    return static_cast<double>(wave.dataSize / f.blockAlign) * *perBlock / rate;
  const double bitsPerSecond = static_cast<double>(f.bitsPerSample) * f.channels * rate;
  if (bitsPerSecond == 0) return std::nullopt;
  return dataSize * 8.0 / bitsPerSecond;
}

float playingTimeOf(const model::WaveState& wave) { return static_cast<float>(playingSecondsOf(wave).value_or(0.0)); }

namespace {

bool readWave(ByteSource& file, const model::SharedBytes* sharedFile, model::Document& document, Reporter& reporter,
              WaveParts parts) {
  try {
    return WaveReader(file, sharedFile, document, reporter, parts).read();
  } catch (const std::exception&) {
    reporter.error("This file is corrupt.");
    return false;
  }
}

bool readWave(Bytes file, const model::SharedBytes* sharedFile, model::Document& document, Reporter& reporter) {
  MemorySource source(file);
  return readWave(source, sharedFile, document, reporter, WaveParts::all);
}

}  // namespace

bool readWaveHeaders(ByteSource& file, model::Document& document, Reporter& reporter) {
  return readWave(file, nullptr, document, reporter, WaveParts::headersOnly);
}

bool readWaveFile(Bytes file, model::Document& document, Reporter& reporter) {
  return readWave(file, nullptr, document, reporter);
}

bool readWaveFile(const model::SharedBytes& file, model::Document& document, Reporter& reporter) {
  return readWave(file.bytes(), &file, document, reporter);
}

bool readWaveFile(const std::filesystem::path& path, model::Document& document, Reporter& reporter) {
  // Mapped, so that only what is looked at is read: the headers now, the samples when they are drawn,
  // played or saved.
  if (auto opened = MappedFile::open(path); opened.file)
    return readWaveFile(model::SharedBytes(opened.file, opened.file->bytes()), document, reporter);
  // A file system that cannot map files, or too many mappings at once: the file is read whole.
  std::string whyNot;
  auto content = FileContent::read(path, &whyNot);
  if (!content) {
    document.kind = model::FileKind::wave;
    reporter.dialog({"Error opening file: " + whyNot, Buttons::ok, BoxKind::plain, "Error Message"});
    return false;
  }
  auto shared = std::make_shared<const FileContent>(std::move(*content));
  return readWaveFile(model::SharedBytes(shared, shared->bytes()), document, reporter);
}

}  // namespace delvix::formats
