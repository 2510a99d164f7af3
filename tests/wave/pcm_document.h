#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "formats/reporter.h"
#include "formats/wav_reader.h"
#include "formats/wav_writer.h"
#include "model/document.h"
#include "support/riff_builder.h"
#include "support/sample_bytes.h"
#include "wave/sample_cut.h"

// Small PCM wave files, read into documents, for the wave view's tests.
namespace delvix::wave::test {

using testing::ByteVector;

// Bytes that tell where they came from: byte i is i mod 251.
inline ByteVector countingBytes(std::size_t size) {
  ByteVector bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i % 251);
  return bytes;
}

struct PcmLayout {
  std::uint16_t channels = 1;
  std::uint16_t bits = 8;
  bool fact = false;
};

inline ByteVector pcmFile(PcmLayout layout, const ByteVector& data) {
  const testing::WaveFormatFields format{
      .channels = layout.channels, .samplesPerSecond = 8000, .bitsPerSample = layout.bits};
  const std::uint32_t frameBytes = layout.channels * ((layout.bits + 7u) / 8u);
  if (layout.fact)
    return testing::riff("WAVE",
                         {testing::waveFormat(format),
                          testing::chunk("fact", testing::u32s({static_cast<std::uint32_t>(data.size() / frameBytes)})),
                          testing::chunk("data", data)});
  return testing::riff("WAVE", {testing::waveFormat(format), testing::chunk("data", data)});
}

inline std::unique_ptr<model::Document> readWave(const ByteVector& file) {
  auto document = std::make_unique<model::Document>();
  formats::RecordingReporter reporter;
  EXPECT_TRUE(formats::readWaveFile(file, *document, reporter));
  return document;
}

// The file as a big-endian "RIFX" file, its samples in the same byte order.
inline ByteVector rifxTwin(const ByteVector& file) {
  auto document = readWave(file);
  document->wave.bigEndian = true;
  return formats::writeWaveFile(*document).bytes;
}

// The document of pcmFile(layout, data) with its data in two pieces: read with a frame of 0xEE bytes more after
// the first, which is then cut out.
inline std::unique_ptr<model::Document> readInTwoPieces(PcmLayout layout, const ByteVector& data, bool bigEndian) {
  const std::size_t frameBytes = layout.channels * ((layout.bits + 7u) / 8u);
  ByteVector longer = data;
  longer.insert(longer.begin() + static_cast<std::ptrdiff_t>(frameBytes), frameBytes, 0xEE);
  const ByteVector file = pcmFile(layout, longer);
  auto document = readWave(bigEndian ? rifxTwin(file) : file);
  EXPECT_TRUE(cutFrames(*document, 1, 1));
  EXPECT_EQ(document->wave.samples.pieces().size(), 2u);
  return document;
}

inline ByteVector samplesOf(const model::Document& document) { return testing::bytesOf(document.wave.samples); }

}  // namespace delvix::wave::test
