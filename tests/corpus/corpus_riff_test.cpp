// Every animated cursor and wave file of the shared sample corpus, when it is there.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <memory>

#include "formats/ani_reader.h"
#include "formats/wav_reader.h"
#include "formats/wave_byte_order.h"
#include "formats/wave_channels.h"
#include "support/corpus.h"
#include "support/file_bytes.h"
#include "support/read_helpers.h"

namespace delvix::formats {
namespace {

namespace fs = std::filesystem;
using testing::corpusFiles;

TEST(CorpusRiff, EveryAnimatedCursorReadsAllItsFrames) {
  auto files = corpusFiles("ani");
  if (files.empty()) GTEST_SKIP() << "no sample corpus at " << DELVIX_CORPUS_DIR;
  for (const fs::path& path : files) {
    SCOPED_TRACE(path.filename().string());
    auto bytes = testing::readFileBytes(path);
    ASSERT_TRUE(bytes);
    model::Document document;
    RecordingReporter reporter;
    EXPECT_TRUE(readAnimatedCursor(*bytes, document, {}, reporter));
    EXPECT_TRUE(reporter.dialogs.empty());
    const model::Node* frames = testing::nodeAt(document.tree, "RIFF_ACON/List_images");
    ASSERT_NE(frames, nullptr);
    EXPECT_EQ(static_cast<int>(frames->childCount()), document.imageCount);
    ASSERT_EQ(document.pictures.size(), frames->childCount());
    for (const auto& picture : document.pictures) EXPECT_FALSE(picture.placeholder);
    const model::AniState& ani = document.ani;
    if (ani.hasRate) {
      EXPECT_EQ(ani.rates.size(), ani.ratesPerStep() ? ani.stepCount : frames->childCount());
    }
    EXPECT_EQ(ani.sequence.size(), ani.stepCount);
    for (std::size_t step = 0; step < ani.stepCount; ++step) {
      EXPECT_TRUE(ani.frameOfStep(step)) << step;
      EXPECT_GT(ani.stepDelay(step), 0u) << step;
    }
  }
}

// What `soxi -D` says of a file, or a negative number when sox is not there or refuses the file.
double soxDuration(const fs::path& path) {
  if (!testing::haveProgram("soxi")) return -1;
  std::string command = "soxi -D '" + path.string() + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::array<char, 64> line{};
  if (!pipe || !fgets(line.data(), line.size(), pipe.get())) return -1;
  return std::atof(line.data());
}

TEST(CorpusRiff, EveryWaveFileReadsWithItsPlayingTime) {
  auto files = corpusFiles("wav");
  if (files.empty()) GTEST_SKIP() << "no sample corpus at " << DELVIX_CORPUS_DIR;
  // Durations known from how the files were made (the sox ones from a 34 524-frame recording at 22 050 Hz).
  const std::map<std::string, double> known{{"sox-ima-adpcm.wav", 34524.0 / 22050},
                                            {"sox-ms-adpcm.wav", 34524.0 / 22050},
                                            {"sox-s24-mono.wav", 34524.0 / 22050},
                                            {"sox-alaw.wav", 34524.0 / 22050},
                                            {"sox-s16-stereo-44k.wav", 1.0},
                                            {"sox-6ch-s24-extensible.wav", 0.2},
                                            {"scipy-8000Hz-le-4ch-9S-12bit.wav", 9.0 / 8000},
                                            {"scipy-8000Hz-le-3ch-5S-36bit.wav", 5.0 / 8000},
                                            {"wavefile-cue-labels.wav", 1.5}};
  for (const fs::path& path : files) {
    const std::string name = path.filename().string();
    SCOPED_TRACE(name);
    auto bytes = testing::readFileBytes(path);
    ASSERT_TRUE(bytes);
    model::Document document;
    RecordingReporter reporter;
    ASSERT_TRUE(readWaveFile(*bytes, document, reporter));
    EXPECT_NE(testing::nodeAt(document.tree, "RIFF_WAVE/data"), nullptr);
    EXPECT_LE(document.wave.samples.size(), bytes->size());
    if (auto it = known.find(name); it != known.end()) {
      EXPECT_NEAR(document.wave.playingTime, it->second, 0.001);
    }
    // sox counts whole blocks of block-coded formats (ADPCM, GSM) where the "fact" chunk gives the exact
    // frame count, and reports 0 for a stream whose sizes were never filled in; compare the others.
    const std::uint16_t tag = document.wave.format.formatTag;
    const bool sampleCoded = tag == 1 || tag == 3 || tag == 6 || tag == 7 || tag == model::waveExtensibleTag;
    if (double sox = soxDuration(path); sampleCoded && sox > 0 && !name.starts_with("truncated-")) {
      EXPECT_NEAR(document.wave.playingTime, sox, 0.001);
    }

    WaveChannels channels = prepareChannels(document.wave);
    if (auto layout = channelLayoutOf(document.wave)) {
      EXPECT_EQ(channels.frameCount, document.wave.dataSize / document.wave.format.blockAlign);
      gfx::Image screen = drawWaveform(ChannelPoints(channels.left, 120), 400, 120);
      EXPECT_EQ(screen.width(), 400);
    }
  }
}

TEST(CorpusRiff, ABigEndianWaveFileReadsAsItsLittleEndianTwin) {
  const fs::path big = fs::path(DELVIX_CORPUS_DIR) / "wav" / "scipy-8000Hz-be-3ch-5S-24bit.wav";
  const fs::path little = fs::path(DELVIX_CORPUS_DIR) / "wav" / "scipy-8000Hz-le-3ch-5S-24bit.wav";
  if (!fs::exists(big) || !fs::exists(little)) GTEST_SKIP() << "no sample corpus at " << DELVIX_CORPUS_DIR;
  model::Document be, le;
  RecordingReporter reporter;
  ASSERT_TRUE(readWaveFile(*testing::readFileBytes(big), be, reporter));
  ASSERT_TRUE(readWaveFile(*testing::readFileBytes(little), le, reporter));
  EXPECT_TRUE(reporter.dialogs.empty());
  EXPECT_TRUE(be.wave.bigEndian);
  EXPECT_EQ(be.wave.format, le.wave.format);
  EXPECT_EQ(be.wave.fmtSize, le.wave.fmtSize);
  EXPECT_EQ(be.wave.factValue, le.wave.factValue);
  EXPECT_EQ(be.wave.riffSize, le.wave.riffSize);
  EXPECT_EQ(be.wave.infoListSize, le.wave.infoListSize);
  EXPECT_EQ(be.wave.playingTime, le.wave.playingTime);
  std::vector<std::string> beNames, leNames;
  be.tree.forEach([&](const model::Node& node, int) { beNames.push_back(node.name()); });
  le.tree.forEach([&](const model::Node& node, int) { leNames.push_back(node.name()); });
  EXPECT_EQ(beNames, leNames);
  EXPECT_EQ(littleEndianSamples(be.wave), le.wave.samples);
}

}  // namespace
}  // namespace delvix::formats
