#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/node.h"
#include "model/sample_data.h"

namespace delvix::model {

// The format tags that the program treats in particular ways.
inline constexpr std::uint16_t wavePcmTag = 0x0001;
inline constexpr std::uint16_t waveMsAdpcmTag = 0x0002;
inline constexpr std::uint16_t waveFloatTag = 0x0003;
inline constexpr std::uint16_t waveALawTag = 0x0006;
inline constexpr std::uint16_t waveMuLawTag = 0x0007;
inline constexpr std::uint16_t waveImaAdpcmTag = 0x0011;
inline constexpr std::uint16_t waveGsmTag = 0x0031;
inline constexpr std::uint16_t waveExtensibleTag = 0xFFFE;
inline constexpr std::size_t waveFormatRecordSize = 18;

// The first 18 bytes of the "fmt " chunk (WAVEFORMATEX).
struct WaveFormat {
  std::uint16_t formatTag = 0;
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSecond = 0;
  std::uint32_t averageBytesPerSecond = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bitsPerSample = 0;
  std::uint16_t extraSize = 0;

  bool operator==(const WaveFormat&) const = default;
};

// What the wave reader keeps beside the tree, for the wave view, the field tables and the writer.
struct WaveState {
  WaveFormat format;
  // The bytes of "fmt " after the 18-byte record (the extensible format's fields, codec tables), as stored;
  // in a big-endian file the extensible format's numbers are turned little-endian like the record's.
  Block formatTail;
  std::uint32_t fmtSize = 0;
  bool hasFact = false;
  // Sample frames per channel, as the "fact" chunk gives it; 0 without one.
  std::uint32_t factValue = 0;
  // The bytes of sample data kept (cut to what the file holds): the size of `samples`. It may be more than
  // a RIFF file can hold (an RF64 file); such a document cannot be saved as a wave file.
  std::uint64_t dataSize = 0;
  // The sample data, usually views of the file as it was read, with its bytes in the file's order.
  SampleData samples;
  // As the file gives it; for an RF64 file, the 64-bit size of its "ds64" chunk.
  std::uint64_t riffSize = 0;
  std::uint32_t infoListSize = 0;
  float playingTime = 0;

  // WAVE_FORMAT_EXTENSIBLE: the sub-format is PCM, and how many bits of each container are used.
  bool extensiblePcm = false;
  std::uint16_t validBitsPerSample = 0;

  // A "RIFX" file: every number of the file is big-endian. The format record, the fact value and the node
  // blocks hold them little-endian; the samples keep the file's order.
  bool bigEndian = false;

  bool operator==(const WaveState&) const = default;

  bool isPcm() const { return format.formatTag == wavePcmTag || extensiblePcm; }

  // The whole bytes one sample takes in a frame (a 12-bit sample takes 2).
  std::uint32_t containerBytes() const { return (format.bitsPerSample + 7u) / 8u; }
  // The bytes of one PCM sample frame: the block align when it agrees with channels x container bytes,
  // otherwise that product (some writers get the block align wrong; other readers ignore it too).
  std::uint32_t pcmFrameBytes() const {
    const std::uint32_t frame = format.channels * containerBytes();
    return frame == 0 ? format.blockAlign : frame;
  }
};

}  // namespace delvix::model
