// One channel of a wave file of any per-sample encoding saved as a mono file, checked against sox and libsndfile.
#include <gtest/gtest.h>

#include "formats/wav_reader.h"
#include "formats/wav_writer.h"
#include "support/corpus.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::formats {
namespace {

namespace fs = std::filesystem;
using testing::runAndCapture;

std::string md5OfRaw(const fs::path& file, const std::string& effects = "") {
  return runAndCapture("sox '" + file.string() + "' -t raw - " + effects + " 2>/dev/null | md5sum");
}

TEST(SingleChannelWriter, EveryPerSampleEncodingGivesTheChannelSoxAndLibsndfileRead) {
  if (!testing::haveProgram("sox") || !testing::haveProgram("sndfile-info")) GTEST_SKIP() << "no sox or sndfile-info";
  testing::TempDir dir;
  std::vector<fs::path> files;
  for (const fs::path& file : testing::corpusFiles("wav")) {
    const std::string name = file.filename().string();
    if (name == "sox-s16-stereo-44k.wav") {
      // The same sound in 24 bits, as float, A-law, big-endian and extensible, made by sox.
      for (const auto& [made, options] : {std::pair{"s24.wav", "-b 24"},
                                          {"f32.wav", "-e floating-point -b 32"},
                                          {"alaw.wav", "-e a-law"},
                                          {"rifx.wav", "-B"},
                                          {"ulaw-4ch.wav", "-e u-law -c 4"}}) {
        runAndCapture("sox '" + file.string() + "' " + options + " '" + (dir.path() / made).string() + "'");
        files.push_back(dir.path() / made);
      }
    }
    for (const char* wanted : {"sox-6ch-s24-extensible.wav", "scipy-48000Hz-2ch-64bit-float-le-wavex.wav",
                               "scipy-8000Hz-be-3ch-5S-24bit.wav", "scipy-8000Hz-le-2ch-1byteu.wav"})
      if (name == wanted) files.push_back(file);
  }
  if (files.empty()) GTEST_SKIP() << "the sample corpus is not there";
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    model::Document document;
    RecordingReporter reporter;
    ASSERT_TRUE(readWaveFile(file, document, reporter));
    const int channels = document.wave.format.channels;
    for (int channel : {0, channels - 1}) {
      const fs::path saved = dir.path() / ("channel" + std::to_string(channel) + ".wav");
      ASSERT_TRUE(saveSingleChannel(document, channel, saved, reporter));
      EXPECT_EQ(md5OfRaw(saved), md5OfRaw(file, "remix " + std::to_string(channel + 1))) << channel;
      EXPECT_EQ(runAndCapture("soxi -c '" + saved.string() + "'"), "1\n");
      EXPECT_EQ(runAndCapture("soxi -s '" + saved.string() + "'"), runAndCapture("soxi -s '" + file.string() + "'"));
      EXPECT_EQ(runAndCapture("soxi -e '" + saved.string() + "'"), runAndCapture("soxi -e '" + file.string() + "'"));
      const std::string info = runAndCapture("sndfile-info '" + saved.string() + "'");
      EXPECT_NE(info.find("Channels    : 1"), std::string::npos) << info;
      EXPECT_EQ(info.find("rror"), std::string::npos) << info;
    }
  }
}

TEST(SingleChannelWriter, RefusesWhatCannotBeSplitAndWritesNothing) {
  testing::TempDir dir;
  const auto read = [](const testing::ByteVector& file) {
    auto document = std::make_unique<model::Document>();
    RecordingReporter reporter;
    EXPECT_TRUE(readWaveFile(file, *document, reporter));
    return document;
  };
  const auto adpcm = read(testing::riff(
      "WAVE", {testing::waveFormat({.formatTag = 2, .bitsPerSample = 4, .blockAlign = 4}),
               testing::chunk("fact", testing::u32s({14})), testing::chunk("data", testing::ByteVector(16))}));
  const auto stereo = read(
      testing::riff("WAVE", {testing::waveFormat({.channels = 2}), testing::chunk("data", testing::ByteVector(8))}));
  struct Case {
    const model::Document& document;
    int channel;
    const char* said;
  };
  const Case cases[] = {
      {*adpcm, 0,
       "Samples of the wave encoding 0x0002 (MS ADPCM) cannot be split into channels; save the sound as PCM first."},
      {*stereo, 2, "The sound has no channel 3; it has 2."},
      {*stereo, -1, "The sound has no channel 0; it has 2."},
  };
  for (const Case& c : cases) {
    RecordingReporter reporter;
    EXPECT_FALSE(saveSingleChannel(c.document, c.channel, dir.path() / "out.wav", reporter));
    EXPECT_TRUE(reporter.showed(c.said)) << c.said;
    EXPECT_FALSE(fs::exists(dir.path() / "out.wav"));
    EXPECT_FALSE(writeSingleChannel(c.document.wave, c.channel).complete);
  }
}

TEST(SingleChannelWriter, ACancelWhileTheChannelIsGatheredWritesNothing) {
  testing::TempDir dir;
  model::Document document;
  RecordingReporter reporter;
  ASSERT_TRUE(readWaveFile(testing::riff("WAVE", {testing::waveFormat({.channels = 2}),
                                                  testing::chunk("data", testing::ByteVector(std::size_t{12} << 20))}),
                           document, reporter));
  std::uint64_t lastDone = 0, lastTotal = 0;
  EXPECT_FALSE(
      saveSingleChannel(document, 1, dir.path() / "out.wav", reporter, [&](std::uint64_t done, std::uint64_t total) {
        lastDone = done;
        lastTotal = total;
        return false;
      }));
  EXPECT_GT(lastDone, 0u);
  EXPECT_LT(lastDone, lastTotal / 2);  // still gathering
  EXPECT_TRUE(reporter.logged("The save was cancelled; no file was written."));
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

}  // namespace
}  // namespace delvix::formats
