#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/wave_state.h"

namespace delvix::wave {

// A wave file's samples as numbers from -1 to 1, sample frame by sample frame, read at any place: an unsigned
// 8-bit sample s as (s - 128) / 128, a signed n-bit one as s / 2^(n-1), float as it is (NaN as 0). A reader
// keeps alive the bytes it reads, so the document may change (a cut, another file) while it is used. One
// reader serves one thread at a time; each thread opens its own.
class SampleReader {
 public:
  virtual ~SampleReader() = default;
  virtual int channels() const = 0;
  // Sample frames per channel.
  virtual std::uint64_t frames() const = 0;
  // The frames from `first` on, interleaved (channel after channel), as many as fit whole into `out`; how many
  // frames were read: fewer only at the end, 0 past it or where the data cannot be decoded.
  virtual std::size_t read(std::uint64_t first, std::span<float> out) = 0;
  // Frames [first, end) will not be read again soon: a reader over a mapped file lets the system take their
  // pages back, so that one pass over a long file does not keep all of it resident.
  virtual void forget(std::uint64_t /*first*/, std::uint64_t /*end*/) {}
};

// How samples are stored when every sample frame stands on its own (a block-align's worth of bytes): integer
// PCM in containers of 1 to 4 bytes (8-bit unsigned, wider signed), IEEE float of 4 or 8 bytes, A-law and
// µ-law bytes; also as the sub-format of WAVE_FORMAT_EXTENSIBLE. Such data can be read, cut and split into
// channels where it lies, without a decoder.
enum class SampleEncoding { unsignedInteger, signedInteger, floatingPoint, aLaw, muLaw };

struct SampleLayout {
  SampleEncoding encoding = SampleEncoding::signedInteger;
  int channels = 0;
  int containerBytes = 0;        // bytes of one sample
  std::uint32_t frameBytes = 0;  // bytes of one sample frame: channels x container bytes
  bool bigEndian = false;        // a "RIFX" file
};

// The layout of the document's samples; nullopt for a compressed or unknown encoding, or a format that gives no
// channels or an impossible sample size.
std::optional<SampleLayout> sampleLayoutOf(const model::WaveState& wave);

// A reader of the samples as they lie in the document (for a layout that sampleLayoutOf gives), or null.
std::unique_ptr<SampleReader> directSampleReader(const model::WaveState& wave);

// The format tag that decides the encoding: the sub-format's for WAVE_FORMAT_EXTENSIBLE (the first two bytes of
// its GUID), the format's own otherwise.
std::uint16_t encodingTagOf(const model::WaveState& wave);
// The encoding's usual name: "PCM", "IEEE float", "A-law", "µ-law", "MS ADPCM", "IMA ADPCM", "GSM 6.10",
// "G.726 ADPCM", "Yamaha ADPCM", "MPEG Layer 3", ...; "unknown" for a tag without a name.
std::string encodingName(std::uint16_t formatTag);
// What the wave view says of a file no decoder reads: "The wave encoding 0x0064 (G.726 ADPCM) cannot be
// decoded; its structure is shown."
std::string undecodableText(const model::WaveState& wave);

// A name for each channel: from the extensible format's channel mask where it names them ("Front left",
// "Front right", "Front centre", "LFE", "Back left", ...); otherwise "Left" and "Right" for stereo, "Mono" for one
// channel, and "Channel N" (counted from 1) for the rest.
std::vector<std::string> channelNamesOf(const model::WaveState& wave);
// The extensible format's channel mask, 0 without one.
std::uint32_t channelMaskOf(const model::WaveState& wave);

}  // namespace delvix::wave
