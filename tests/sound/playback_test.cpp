#include "sound/playback.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "formats/wav_reader.h"
#include "platform/fake_wave_output.h"
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

// What sox decodes the file to: 16-bit samples without dither, after `effects`.
std::vector<std::int16_t> soxSamples(const fs::path& file, const std::string& effects) {
  const std::string command = "sox -D '" + file.string() + "' -t raw -e signed -b 16 -L - " + effects;
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

// sox's remix of FL, FR and FC (and BL, BR) as the standard down-mix has it, -3 dB for the centre and the back.
std::string soxDownMix(int channels) {
  const double c = std::sqrt(0.5), scale = channels == 3 ? 1 + c : 1 + 2 * c;
  const auto v = [&](double gain) { return "v" + std::to_string(gain / scale); };
  if (channels == 3) return "remix 1" + v(1) + ",3" + v(c) + " 2" + v(1) + ",3" + v(c);
  return "remix 1" + v(1) + ",3" + v(c) + ",5" + v(c) + " 2" + v(1) + ",3" + v(c) + ",6" + v(c);
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

TEST(PlaySource, PlaysLikeSox) {
  if (!testing::haveProgram("sox")) GTEST_SKIP() << "sox is not installed";
  struct Case {
    const char* file;
    int rate;
    sound::PlayRange range;
    int outputs;
    std::string effects;
    int tolerance;  // float and 24-bit samples are rounded differently by the two: one step apart at most
  };
  const Case cases[] = {
      {"sox-s16-stereo-44k.wav", 44100, {}, 2, "", 0},
      {"sox-u8-mono-8k.wav", 8000, {}, 1, "", 0},
      {"sox-u8-mono-8k.wav", 8000, {}, 2, "remix 1 1", 0},
      {"sox-ima-adpcm.wav", 22050, {}, 1, "", 1},
      {"sox-ms-adpcm.wav", 22050, {}, 1, "", 1},
      {"sox-ulaw.wav", 22050, {}, 1, "", 1},
      {"sox-f32.wav", 22050, {}, 1, "", 1},
      {"sox-s24-mono.wav", 22050, {}, 1, "", 1},
      {"scipy-8000Hz-le-3ch-5S-24bit.wav", 8000, {}, 2, soxDownMix(3), 1},
      {"sox-6ch-s24-extensible.wav", 22050, {}, 2, soxDownMix(6), 1},
      {"sox-6ch-s24-extensible.wav", 22050, {100, 601, 2}, 1, "remix 3 trim 100s =601s", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.effects);
    const fs::path path = fs::path(DELVIX_CORPUS_DIR) / "wav" / c.file;
    if (!fs::exists(path)) continue;
    auto document = readWave(path);
    ASSERT_TRUE(document);
    std::string error;
    auto source = sound::playSource(*document, c.range, c.outputs, error);
    ASSERT_TRUE(source) << error;
    EXPECT_EQ(source->format(), (wave::PcmFormat{c.rate, c.outputs, 16}));
    const std::uint64_t announced = source->remaining();
    // The source reads from the document's own samples and keeps them alive: the document may go.
    document.reset();
    const std::vector<std::int16_t> decoded = littleEndianSamples(readAll(*source));
    EXPECT_EQ(announced, decoded.size() * 2);
    EXPECT_EQ(source->remaining(), 0u);

    const std::vector<std::int16_t> expected = soxSamples(path, c.effects);
    ASSERT_EQ(decoded.size(), expected.size());
    for (std::size_t i = 0; i < decoded.size(); ++i)
      ASSERT_NEAR(decoded[i], expected[i], c.tolerance) << "sample " << i;
  }
}

TEST(PlaySource, PlaysTheSamplesTheDocumentHoldsNow) {
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
  auto source = sound::playSource(*document, {}, 1, error),
       oneBlockSource = sound::playSource(*inOneBlock, {}, 1, error);
  ASSERT_TRUE(source && oneBlockSource) << error;
  const auto decoded = readAll(*source);
  EXPECT_EQ(decoded.size(), 2000u);
  EXPECT_EQ(decoded, readAll(*oneBlockSource));
}

TEST(PlaySource, RefusedFilesSayWhy) {
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
    EXPECT_FALSE(sound::playSource(*document, {}, 2, error));
    EXPECT_FALSE(error.empty());
  }
  const fs::path stereo = fs::path(DELVIX_CORPUS_DIR) / "wav" / "sox-s16-stereo-44k.wav";
  if (fs::exists(stereo)) {
    std::string error;
    EXPECT_FALSE(sound::playSource(*readWave(stereo), {.channel = 2}, 1, error));
    EXPECT_EQ(error, "The sound has no channel 3; it has 2.");
  }
}

TEST(PlayOn, MixesDownToWhatTheOutputTakesAndTellsHowFarItPlayed) {
  model::Document stereo;
  formats::RecordingReporter reporter;
  ASSERT_TRUE(formats::readWaveFile(testing::riff("WAVE", {testing::waveFormat({.channels = 2, .bitsPerSample = 16}),
                                                           testing::chunk("data", testing::ByteVector(8000 * 4, 0))}),
                                    stereo, reporter));
  const wave::PcmFormat mono{8000, 1, 16}, both{8000, 2, 16};
  struct Case {
    const char* name;
    std::vector<wave::PcmFormat> supported;
    sound::PlayRange range;
    int outputs;  // 0: refused
  };
  const Case cases[] = {
      {"stereo as stereo", {mono, both}, {}, 2},
      {"stereo to a mono output", {mono}, {}, 1},
      {"one channel as mono", {mono, both}, {.channel = 1}, 1},
      {"one channel on both sides", {both}, {.channel = 0}, 2},
      {"nothing the output takes", {{44100, 2, 16}}, {}, 0},
  };
  for (const Case& c : cases) {
    platform::FakeWaveOutput output;
    output.supportedFormats = c.supported;
    output.pullAtStart = 400 * c.outputs;
    std::string error;
    EXPECT_EQ(sound::playOn(output, stereo, c.range, error), c.outputs > 0) << c.name;
    if (c.outputs == 0) {
      EXPECT_EQ(error, "The sound output cannot play this sound (8000 Hz, 16 bits, in mono or stereo).");
      continue;
    }
    EXPECT_EQ(output.played.back().format.channels, c.outputs) << c.name;
    // 200 frames pulled, then 200 more: 25 ms, then 50 ms; nothing when it has ended.
    EXPECT_EQ(output.playedMicroseconds(), 25'000u) << c.name;
    output.pull(400 * c.outputs);
    EXPECT_EQ(output.playedMicroseconds(), 50'000u) << c.name;
    EXPECT_EQ(wave::playedFrame(0, 8000, output.playedMicroseconds(), 8000), 400u);
    output.finish();
    EXPECT_EQ(output.playedMicroseconds(), 0u);
  }
}

}  // namespace
}  // namespace delvix
