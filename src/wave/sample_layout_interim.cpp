// A stand-in for the sample layouts until the readers of every encoding are in; removed with their arrival.
#include <string>

#include "wave/sample_reader.h"

namespace delvix::wave {

std::uint16_t encodingTagOf(const model::WaveState& wave) {
  const auto& tail = wave.formatTail;
  if (wave.format.formatTag != model::waveExtensibleTag || tail.size() < 8) return wave.format.formatTag;
  return static_cast<std::uint16_t>(tail[6] | tail[7] << 8);
}

std::string encodingName(std::uint16_t tag) {
  switch (tag) {
    case 1: return "PCM";
    case 2: return "MS ADPCM";
    case 3: return "IEEE float";
    case 6: return "A-law";
    case 7: return "µ-law";
    case 0x11: return "IMA ADPCM";
    case 0x31: return "GSM 6.10";
    default: return "unknown";
  }
}

std::uint32_t channelMaskOf(const model::WaveState& wave) {
  const auto& tail = wave.formatTail;
  if (wave.format.formatTag != model::waveExtensibleTag || tail.size() < 6) return 0;
  return static_cast<std::uint32_t>(tail[2] | tail[3] << 8 | tail[4] << 16 | tail[5] << 24);
}

std::optional<SampleLayout> sampleLayoutOf(const model::WaveState& wave) {
  const int bytes = static_cast<int>(wave.containerBytes());
  SampleLayout layout{SampleEncoding::signedInteger, wave.format.channels, bytes,
                      static_cast<std::uint32_t>(wave.format.channels * bytes), wave.bigEndian};
  switch (encodingTagOf(wave)) {
    case 1:
      if (bytes < 1 || bytes > 4) return std::nullopt;
      if (bytes == 1) layout.encoding = SampleEncoding::unsignedInteger;
      break;
    case 3:
      if (bytes != 4 && bytes != 8) return std::nullopt;
      layout.encoding = SampleEncoding::floatingPoint;
      break;
    case 6:
    case 7:
      if (bytes != 1) return std::nullopt;
      layout.encoding = encodingTagOf(wave) == 6 ? SampleEncoding::aLaw : SampleEncoding::muLaw;
      break;
    default: return std::nullopt;
  }
  if (layout.channels == 0) return std::nullopt;
  return layout;
}

}  // namespace delvix::wave
