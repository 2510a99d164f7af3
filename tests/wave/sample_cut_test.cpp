// Cutting sample frames out of PCM data, and the file a save then writes.
#include "wave/sample_cut.h"

#include <gtest/gtest.h>

#include "formats/le_bytes.h"
#include "pcm_document.h"

namespace delvix::wave {
namespace {

using namespace test;

TEST(SampleCut, RemovesTheFramesOfEveryChannelAndTheSavedFileAgrees) {
  struct Case {
    const char* name;
    PcmLayout layout;
    std::size_t frames, first, last;
    bool bigEndian = false;
  };
  const Case cases[] = {
      {"8-bit mono, odd data left (a pad byte)", {1, 8}, 9, 2, 3},
      {"16-bit stereo, lines at 100 and 110", {2, 16}, 200, 100, 110},
      {"24-bit, 3 channels, the first frame", {3, 24}, 10, 0, 0},
      {"32-bit mono, to the end", {1, 32}, 6, 3, 5},
      {"16-bit stereo RIFX", {2, 16}, 20, 5, 6, true},
      {"8-bit stereo with fact", {2, 8, true}, 50, 10, 29},
      {"every frame", {1, 16, true}, 4, 0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::size_t frameBytes = c.layout.channels * c.layout.bits / 8u;
    ByteVector data = countingBytes(c.frames * frameBytes);
    const ByteVector file = pcmFile(c.layout, data);
    auto read = readWave(c.bigEndian ? rifxTwin(file) : file);
    model::Document& document = *read;
    const model::SharedBytes heldBefore = document.wave.samples;
    ASSERT_EQ(frameCountOf(document.wave), c.frames);

    ASSERT_TRUE(cutFrames(document, c.first, c.last));
    data.erase(data.begin() + static_cast<std::ptrdiff_t>(c.first * frameBytes),
               data.begin() + static_cast<std::ptrdiff_t>((c.last + 1) * frameBytes));
    const std::size_t framesLeft = c.frames - (c.last - c.first + 1);
    const model::WaveState& wave = document.wave;
    EXPECT_EQ(samplesOf(document), data);
    EXPECT_EQ(wave.dataSize, data.size());
    EXPECT_EQ(frameCountOf(wave), framesLeft);
    EXPECT_FLOAT_EQ(wave.playingTime, static_cast<float>(framesLeft / 8000.0));
    EXPECT_EQ(wave.factValue, c.layout.fact ? framesLeft : 0u);
    // Whoever held the old samples still has them, untouched.
    EXPECT_EQ(ByteVector(heldBefore.begin(), heldBefore.end()), countingBytes(c.frames * frameBytes));

    const ByteVector written = formats::writeWaveFile(document).bytes;
    const std::uint32_t riffSize =
        c.bigEndian ? (written[4] << 24 | written[5] << 16 | written[6] << 8 | written[7]) : formats::le32(written, 4);
    EXPECT_EQ(riffSize, written.size() - 8);
    EXPECT_EQ(wave.riffSize, written.size() - 8);
    EXPECT_EQ(document.statusText, " RIFF size: " + std::to_string(written.size() - 8) + " bytes");
    EXPECT_EQ(written.size() % 2, 0u);
    const auto saved = readWave(written);
    EXPECT_EQ(samplesOf(*saved), data);
    EXPECT_EQ(saved->wave.bigEndian, c.bigEndian);
    EXPECT_EQ(saved->wave.factValue, wave.factValue);
  }
}

TEST(SampleCut, RefusesWhatIsNotARangeOfPcmFramesAndChangesNothing) {
  const ByteVector pcm = pcmFile({2, 16}, countingBytes(40));  // 10 frames
  ByteVector adpcm =
      testing::riff("WAVE", {testing::waveFormat({.formatTag = 2, .bitsPerSample = 4, .blockAlign = 4}),
                             testing::chunk("fact", testing::u32s({14})), testing::chunk("data", countingBytes(16))});
  const ByteVector noChannels = pcmFile({0, 16}, countingBytes(8));
  struct Case {
    const char* name;
    const ByteVector& file;
    std::uint64_t first, last;
  };
  const Case cases[] = {
      {"reversed", pcm, 5, 4},        {"past the end", pcm, 9, 10},        {"far past the end", pcm, 20, UINT64_MAX},
      {"a block codec", adpcm, 0, 0}, {"no frame size", noChannels, 0, 0},
  };
  for (const Case& c : cases) {
    auto read = readWave(c.file);
    model::Document& document = *read;
    const model::WaveState before = document.wave;
    const std::string status = document.statusText;
    EXPECT_FALSE(cutFrames(document, c.first, c.last)) << c.name;
    EXPECT_EQ(document.wave.samples.data(), before.samples.data()) << c.name;
    EXPECT_EQ(document.wave.dataSize, before.dataSize) << c.name;
    EXPECT_EQ(document.wave.riffSize, before.riffSize) << c.name;
    EXPECT_EQ(document.wave.factValue, before.factValue) << c.name;
    EXPECT_EQ(document.statusText, status) << c.name;
  }
  EXPECT_EQ(frameCountOf(readWave(adpcm)->wave), 4u);  // whole blocks
}

}  // namespace
}  // namespace delvix::wave
