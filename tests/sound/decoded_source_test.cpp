#include "sound/decoded_source.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "formats/wav_reader.h"
#include "support/corpus.h"
#include "support/riff_builder.h"
#include "support/sample_bytes.h"

namespace delvix {
namespace {

namespace fs = std::filesystem;

std::vector<std::int16_t> littleEndianSamples(std::span<const std::uint8_t> bytes) {
  std::vector<std::int16_t> samples;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    samples.push_back(static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8));
  return samples;
}

// What sox decodes the file to: 16-bit samples without dither, only the first two channels.
std::vector<std::int16_t> soxSamples(const fs::path& file, int channels) {
  std::string command = "sox -D '" + file.string() + "' -t raw -e signed -b 16 -L -";
  if (channels > 2) command += " remix 1 2";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>/dev/null").c_str(), "r"), pclose);
  std::vector<std::uint8_t> bytes;
  std::uint8_t buffer[65536];
  while (pipe) {
    const std::size_t read = fread(buffer, 1, sizeof buffer, pipe.get());
    if (read == 0) break;
    bytes.insert(bytes.end(), buffer, buffer + read);
  }
  return littleEndianSamples(bytes);
}

// Everything the source gives, read in pieces that do not end on a frame.
std::vector<std::uint8_t> readAll(wave::PcmSource& source) {
  std::vector<std::uint8_t> all;
  std::vector<std::uint8_t> piece(1001);
  while (const std::size_t read = source.read(piece)) all.insert(all.end(), piece.begin(), piece.begin() + read);
  return all;
}

std::unique_ptr<model::Document> readWave(const fs::path& path) {
  auto document = std::make_unique<model::Document>();
  formats::RecordingReporter reporter;
  if (!formats::readWaveFile(path, *document, reporter)) return nullptr;
  return document;
}

TEST(DecodedSource, DecodesLikeSox) {
  if (!testing::haveProgram("sox")) GTEST_SKIP() << "sox is not installed";
  struct Case {
    const char* file;
    int rate;
    int channels;  // as played
  };
  const Case cases[] = {
      {"sox-ima-adpcm.wav", 22050, 1}, {"sox-ms-adpcm.wav", 22050, 1}, {"sox-ulaw.wav", 22050, 1},
      {"sox-f32.wav", 22050, 1},       {"sox-s24-mono.wav", 22050, 1}, {"scipy-8000Hz-le-3ch-5S-24bit.wav", 8000, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const fs::path path = fs::path(DELVIX_CORPUS_DIR) / "wav" / c.file;
    if (!fs::exists(path)) continue;
    auto document = readWave(path);
    ASSERT_TRUE(document);
    std::string error;
    auto source = sound::decodedSource(*document, error);
    ASSERT_TRUE(source) << error;
    EXPECT_EQ(source->format(), (wave::PcmFormat{c.rate, c.channels, 16}));
    const std::uint64_t announced = source->remaining();
    // The source reads from the document's own samples and keeps them alive: the document may go.
    document.reset();
    const std::vector<std::int16_t> decoded = littleEndianSamples(readAll(*source));
    EXPECT_EQ(announced, decoded.size() * 2);
    EXPECT_EQ(source->remaining(), 0u);

    const int fileChannels = c.channels == 2 ? 3 : 1;
    const std::vector<std::int16_t> expected = soxSamples(path, fileChannels);
    ASSERT_EQ(decoded.size(), expected.size());
    // Float and 24-bit samples are rounded differently by the two: one step apart at most.
    for (std::size_t i = 0; i < std::min<std::size_t>(decoded.size(), 8192); ++i)
      ASSERT_NEAR(decoded[i], expected[i], 1) << "sample " << i;
  }
}

TEST(DecodedSource, PlaysTheSamplesTheDocumentHoldsNow) {
  const fs::path path = fs::path(DELVIX_CORPUS_DIR) / "wav" / "sox-ulaw.wav";
  if (!fs::exists(path)) GTEST_SKIP() << "no corpus";
  auto document = readWave(path);
  ASSERT_TRUE(document);
  // What cuts leave: 1000 samples in two pieces, and the same in one block.
  model::WaveState& wave = document->wave;
  wave.samples = wave.samples.slice(0, 1100);
  wave.samples.erase(300, 100);
  wave.dataSize = 1000;
  wave.factValue = 1000;
  auto inOneBlock = readWave(path);
  inOneBlock->wave.samples = model::SharedBytes::copyOf(testing::bytesOf(wave.samples));
  inOneBlock->wave.dataSize = inOneBlock->wave.factValue = 1000;
  std::string error;
  auto source = sound::decodedSource(*document, error), oneBlockSource = sound::decodedSource(*inOneBlock, error);
  ASSERT_TRUE(source && oneBlockSource) << error;
  const auto decoded = readAll(*source);
  EXPECT_EQ(decoded.size(), 2000u);
  EXPECT_EQ(decoded, readAll(*oneBlockSource));
}

TEST(DecodedSource, RefusedFilesGiveLibsndfilesWords) {
  std::vector<std::unique_ptr<model::Document>> documents;
  documents.push_back(std::make_unique<model::Document>());  // nothing open
  auto unknownCodec = std::make_unique<model::Document>();
  formats::RecordingReporter reporter;
  const testing::ByteVector file =
      testing::riff("WAVE", {testing::waveFormat({.formatTag = 0x7777, .bitsPerSample = 16, .extra = {0, 0}}),
                             testing::chunk("data", testing::ByteVector(64, 0x40))});
  ASSERT_TRUE(formats::readWaveFile(file, *unknownCodec, reporter));
  documents.push_back(std::move(unknownCodec));
  for (const auto& document : documents) {
    std::string error;
    EXPECT_FALSE(sound::decodedSource(*document, error));
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace delvix
