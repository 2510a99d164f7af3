#include "wave/sample_reader.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "formats/mapped_file.h"
#include "wave/sample_decoding.h"

namespace delvix::wave {

namespace {

// Where the extensible format's fields lie in the bytes after the 18-byte record.
constexpr std::size_t channelMaskOffset = 2;
constexpr std::size_t subFormatOffset = 6;
constexpr std::size_t subFormatSize = 16;
// The sub-format GUIDs of the standard encodings are the format tag followed by these 14 bytes.
constexpr std::array<std::uint8_t, 14> subFormatBase{0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                     0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Integer samples wider than this are read by their 32 most significant bits (a float holds 24 of them).
constexpr int widestContainer = 8;

std::uint16_t le16At(const model::Block& bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

bool isExtensible(const model::WaveState& wave) {
  return wave.format.formatTag == model::waveExtensibleTag && wave.formatTail.size() >= subFormatOffset + subFormatSize;
}

// Bytes of pieced data (whole frames of them) copied out and decoded at a time.
constexpr std::size_t bytesAtOnce = 1 << 16;

class DirectSampleReader : public SampleReader {
 public:
  DirectSampleReader(const SampleLayout& layout, model::SampleData samples)
      : layout_(layout),
        samples_(std::move(samples)),
        frames_(samples_.size() / layout.frameBytes),
        contiguous_(samples_.contiguous()) {}

  int channels() const override { return layout_.channels; }
  std::uint64_t frames() const override { return frames_; }

  std::size_t read(std::uint64_t first, std::span<float> out) override {
    if (first >= frames_) return 0;
    const auto channels = static_cast<std::size_t>(layout_.channels);
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(out.size() / channels, frames_ - first));
    if (count == 0) return 0;
    const std::uint64_t start = first * layout_.frameBytes;
    if (contiguous_) {
      decodeSamples(layout_, contiguous_->subspan(static_cast<std::size_t>(start), count * layout_.frameBytes),
                    out.first(count * channels));
      return count;
    }
    const std::size_t framesAtOnce = std::max<std::size_t>(1, bytesAtOnce / layout_.frameBytes);
    if (buffer_.empty()) buffer_.resize(framesAtOnce * layout_.frameBytes);
    for (std::size_t done = 0; done < count;) {
      const std::size_t frames = std::min(count - done, framesAtOnce);
      const std::span<std::uint8_t> bytes = std::span(buffer_).first(frames * layout_.frameBytes);
      samples_.read(start + done * layout_.frameBytes, bytes);
      decodeSamples(layout_, bytes, out.subspan(done * channels, frames * channels));
      done += frames;
    }
    return count;
  }

  void forget(std::uint64_t first, std::uint64_t end) override {
    if (first >= end || first >= frames_) return;
    const model::SampleData frames =
        samples_.slice(first * layout_.frameBytes, (std::min(end, frames_) - first) * layout_.frameBytes);
    for (const model::SharedBytes& piece : frames.pieces()) formats::releaseMappedPages(piece.bytes());
  }

 private:
  SampleLayout layout_;
  model::SampleData samples_;
  std::uint64_t frames_;
  std::optional<std::span<const std::uint8_t>> contiguous_;
  std::vector<std::uint8_t> buffer_;
};

struct EncodingName {
  std::uint16_t tag;
  const char* name;
};

// The format tags a wave file is likely to meet.
constexpr EncodingName encodingNames[] = {
    {0x0001, "PCM"},
    {0x0002, "MS ADPCM"},
    {0x0003, "IEEE float"},
    {0x0005, "IBM CVSD"},
    {0x0006, "A-law"},
    {0x0007, "µ-law"},
    {0x0008, "DTS"},
    {0x0010, "OKI ADPCM"},
    {0x0011, "IMA ADPCM"},
    {0x0012, "MediaSpace ADPCM"},
    {0x0013, "Sierra ADPCM"},
    {0x0014, "G.723 ADPCM"},
    {0x0015, "DigiSTD"},
    {0x0016, "DigiFIX"},
    {0x0017, "Dialogic OKI ADPCM"},
    {0x0018, "MediaVision ADPCM"},
    {0x0019, "HP CU codec"},
    {0x0020, "Yamaha ADPCM"},
    {0x0021, "Sonarc"},
    {0x0022, "DSP Group TrueSpeech"},
    {0x0023, "EchoSC1"},
    {0x0024, "Audiofile AF36"},
    {0x0025, "APTX"},
    {0x0026, "Audiofile AF10"},
    {0x0027, "Prosody 1612"},
    {0x0028, "LRC"},
    {0x0030, "Dolby AC-2"},
    {0x0031, "GSM 6.10"},
    {0x0032, "MSN Audio"},
    {0x0033, "Antex ADPCME"},
    {0x0034, "Control Resources VQLPC"},
    {0x0035, "DigiREAL"},
    {0x0036, "DigiADPCM"},
    {0x0037, "Control Resources CR10"},
    {0x0038, "NMS VBX ADPCM"},
    {0x0039, "Roland RDAC"},
    {0x003A, "EchoSC3"},
    {0x003B, "Rockwell ADPCM"},
    {0x003C, "Rockwell DigiTalk"},
    {0x003D, "Xebec"},
    {0x0040, "G.721 ADPCM"},
    {0x0041, "G.728 CELP"},
    {0x0042, "MS G.723"},
    {0x0050, "MPEG"},
    {0x0052, "RT24"},
    {0x0053, "PAC"},
    {0x0055, "MPEG Layer 3"},
    {0x0059, "Lucent G.723"},
    {0x0060, "Cirrus"},
    {0x0061, "ESPCM"},
    {0x0062, "Voxware"},
    {0x0063, "Canopus Atrac"},
    {0x0064, "G.726 ADPCM"},
    {0x0065, "G.722 ADPCM"},
    {0x0067, "DSAT display"},
    {0x0069, "Voxware byte aligned"},
    {0x0070, "Voxware AC8"},
    {0x0071, "Voxware AC10"},
    {0x0072, "Voxware AC16"},
    {0x0073, "Voxware AC20"},
    {0x0074, "Voxware MetaVoice"},
    {0x0075, "Voxware MetaSound"},
    {0x0080, "Softsound"},
    {0x0083, "G.729A"},
    {0x0092, "Dolby AC-3 SPDIF"},
    {0x00FF, "AAC"},
    {0x0111, "VIVO G.723"},
    {0x0112, "VIVO Siren"},
    {0x0123, "DEC G.723"},
    {0x0130, "Sipro ACELP.net"},
    {0x0160, "Windows Media Audio 1"},
    {0x0161, "Windows Media Audio 2"},
    {0x0162, "Windows Media Audio Pro"},
    {0x0163, "Windows Media Audio Lossless"},
    {0x0200, "Creative ADPCM"},
    {0x0202, "Creative FastSpeech 8"},
    {0x0203, "Creative FastSpeech 10"},
    {0x0270, "Sony ATRAC3"},
    {0x0401, "Intel Music Coder"},
    {0x1000, "Olivetti GSM"},
    {0x1001, "Olivetti ADPCM"},
    {0x1002, "Olivetti CELP"},
    {0x1003, "Olivetti SBC"},
    {0x1004, "Olivetti OPR"},
    {0x1100, "Lernout & Hauspie codec"},
    {0x1400, "Norris"},
    {0x1500, "SoundSpace Musicompress"},
    {0x1600, "MPEG-2/4 AAC"},
    {0x2000, "Dolby AC-3"},
    {0x2001, "DTS"},
    {0x674F, "Ogg Vorbis"},
    {0x6750, "Ogg Vorbis"},
    {0x6751, "Ogg Vorbis"},
    {0xF1AC, "FLAC"},
    {0xFFFE, "extensible"},
    {0xFFFF, "development"},
};

constexpr std::array<const char*, 18> speakerNames{
    "Front left",      "Front right",      "Front centre",         "LFE",
    "Back left",       "Back right",       "Front left of centre", "Front right of centre",
    "Back centre",     "Side left",        "Side right",           "Top centre",
    "Top front left",  "Top front centre", "Top front right",      "Top back left",
    "Top back centre", "Top back right",
};

}  // namespace

std::uint16_t encodingTagOf(const model::WaveState& wave) {
  if (wave.format.formatTag != model::waveExtensibleTag) return wave.format.formatTag;
  if (!isExtensible(wave)) return model::waveExtensibleTag;
  // A sub-format of the standard family names its encoding by its first two bytes; any other is unknown here.
  const auto guid = std::span(wave.formatTail).subspan(subFormatOffset, subFormatSize);
  if (std::equal(subFormatBase.begin(), subFormatBase.end(), guid.begin() + 2))
    return le16At(wave.formatTail, subFormatOffset);
  // sox writes the sub-format of a big-endian file as its tag in big-endian order followed by the other 14 bytes
  // of a little-endian file. Once the GUID's numbers are turned round (as the file is read) they lie as here.
  const std::array<std::uint8_t, 6> soxOrder{subFormatBase[1], subFormatBase[0], subFormatBase[3],
                                             subFormatBase[2], subFormatBase[5], subFormatBase[4]};
  if (wave.bigEndian && std::ranges::equal(guid.first(2), std::span(soxOrder).first(2)) &&
      std::ranges::equal(guid.subspan(4, 4), std::span(soxOrder).last(4)) &&
      std::equal(subFormatBase.begin() + 6, subFormatBase.end(), guid.begin() + 8))
    return static_cast<std::uint16_t>(guid[3] << 8 | guid[2]);
  return model::waveExtensibleTag;
}

std::optional<SampleLayout> sampleLayoutOf(const model::WaveState& wave) {
  const model::WaveFormat& f = wave.format;
  if (f.channels == 0) return std::nullopt;
  SampleLayout layout;
  layout.channels = f.channels;
  layout.bigEndian = wave.bigEndian;
  const int containerBytes = (f.bitsPerSample + 7) / 8;
  switch (encodingTagOf(wave)) {
    case model::wavePcmTag:
      if (containerBytes == 0 || containerBytes > widestContainer) return std::nullopt;
      layout.encoding = f.bitsPerSample <= 8 ? SampleEncoding::unsignedInteger : SampleEncoding::signedInteger;
      layout.containerBytes = containerBytes;
      break;
    case model::waveFloatTag:
      if (f.bitsPerSample != 32 && f.bitsPerSample != 64) return std::nullopt;
      layout.encoding = SampleEncoding::floatingPoint;
      layout.containerBytes = containerBytes;
      break;
    case model::waveALawTag:
    case model::waveMuLawTag:
      if (f.bitsPerSample != 8) return std::nullopt;
      layout.encoding = encodingTagOf(wave) == model::waveALawTag ? SampleEncoding::aLaw : SampleEncoding::muLaw;
      layout.containerBytes = 1;
      break;
    default: return std::nullopt;
  }
  layout.frameBytes = static_cast<std::uint32_t>(layout.channels * layout.containerBytes);
  // Other programs take a frame of 1 to 4 byte samples as channels x container bytes whatever the block align
  // says (some writers get it wrong); rarer containers are believed only where the block align agrees.
  if (layout.containerBytes > 4 && layout.frameBytes != f.blockAlign) return std::nullopt;
  return layout;
}

std::unique_ptr<SampleReader> directSampleReader(const model::WaveState& wave) {
  const auto layout = sampleLayoutOf(wave);
  if (!layout) return nullptr;
  return std::make_unique<DirectSampleReader>(*layout,
                                              wave.samples.slice(0, std::min(wave.dataSize, wave.samples.size())));
}

std::string encodingName(std::uint16_t formatTag) {
  const auto found = std::ranges::find(encodingNames, formatTag, &EncodingName::tag);
  return found == std::end(encodingNames) ? "unknown" : found->name;
}

std::string undecodableText(const model::WaveState& wave) {
  const std::uint16_t tag = encodingTagOf(wave);
  std::array<char, 8> hex{};
  std::snprintf(hex.data(), hex.size(), "%04X", static_cast<unsigned>(tag));
  return "The wave encoding 0x" + std::string(hex.data()) + " (" + encodingName(tag) +
         ") cannot be decoded; its structure is shown.";
}

std::uint32_t channelMaskOf(const model::WaveState& wave) {
  if (wave.format.formatTag != model::waveExtensibleTag || wave.formatTail.size() < channelMaskOffset + 4) return 0;
  const model::Block& tail = wave.formatTail;
  return static_cast<std::uint32_t>(tail[2] | tail[3] << 8 | tail[4] << 16) | std::uint32_t{tail[5]} << 24;
}

std::vector<std::string> channelNamesOf(const model::WaveState& wave) {
  const int channels = wave.format.channels;
  std::vector<std::string> names;
  names.reserve(channels);
  const std::uint32_t mask = channelMaskOf(wave);
  if (mask == 0 && channels == 1) return {"Mono"};
  if (mask == 0 && channels == 2) return {"Left", "Right"};
  // The mask names the channels in the order of its bits, the lowest first; bits past the standard ones name none.
  for (std::size_t bit = 0; bit < speakerNames.size() && std::ssize(names) < channels; ++bit)
    if (mask & (1u << bit)) names.emplace_back(speakerNames[bit]);
  while (std::ssize(names) < channels) names.push_back("Channel " + std::to_string(names.size() + 1));
  return names;
}

}  // namespace delvix::wave
