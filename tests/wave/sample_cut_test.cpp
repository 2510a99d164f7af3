// Cutting sample frames out of PCM data, and the file a save then writes.
#include "wave/sample_cut.h"

#include <gtest/gtest.h>

#include <functional>

#include "formats/le_bytes.h"
#include "pcm_document.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace delvix::wave {
namespace {

using namespace test;

bool samePiece(const model::SharedBytes& a, const model::SharedBytes& b) {
  return a.data() == b.data() && a.size() == b.size();
}

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
    const model::SampleData heldBefore = document.wave.samples;
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
    EXPECT_EQ(testing::bytesOf(heldBefore), countingBytes(c.frames * frameBytes));

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
    EXPECT_TRUE(std::ranges::equal(document.wave.samples.pieces(), before.samples.pieces(), samePiece)) << c.name;
    EXPECT_EQ(document.wave.dataSize, before.dataSize) << c.name;
    EXPECT_EQ(document.wave.riffSize, before.riffSize) << c.name;
    EXPECT_EQ(document.wave.factValue, before.factValue) << c.name;
    EXPECT_EQ(document.statusText, status) << c.name;
  }
  EXPECT_EQ(frameCountOf(readWave(adpcm)->wave), 4u);  // whole blocks
}

// Cut after cut, across the joins of earlier cuts, the file saved from the pieces is byte for byte the file of
// the frames left in one block.
TEST(SampleCut, CutAfterCutSavesWhatTheFramesLeftInOneBlockWould) {
  struct Case {
    const char* name;
    PcmLayout layout;
    std::size_t frames;
    bool bigEndian = false;
  };
  const Case cases[] = {
      {"16-bit stereo with fact", {2, 16, true}, 300},
      {"8-bit mono, odd sizes (pad bytes)", {1, 8}, 301},
      {"16-bit stereo RIFX", {2, 16}, 300, true},
  };
  const std::pair<std::uint64_t, std::uint64_t> cuts[] = {{100, 109}, {95, 120}, {0, 0}, {200, 262}, {50, 59}};
  testing::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto fileOf = [&](const ByteVector& data) {
      return c.bigEndian ? rifxTwin(pcmFile(c.layout, data)) : pcmFile(c.layout, data);
    };
    const std::size_t frameBytes = c.layout.channels * c.layout.bits / 8u;
    ByteVector data = countingBytes(c.frames * frameBytes);
    auto document = readWave(fileOf(data));
    for (const auto& [first, last] : cuts) {
      ASSERT_TRUE(cutFrames(*document, first, last)) << first;
      data.erase(data.begin() + static_cast<std::ptrdiff_t>(first * frameBytes),
                 data.begin() + static_cast<std::ptrdiff_t>((last + 1) * frameBytes));
      const auto inOneBlock = readWave(fileOf(data));
      const auto saved = dir.path() / "cut.wav";
      formats::RecordingReporter reporter;
      ASSERT_TRUE(formats::saveWaveFile(*document, saved, reporter));
      EXPECT_EQ(*testing::readFileBytes(saved), formats::writeWaveFile(*inOneBlock).bytes) << first;
      EXPECT_EQ(document->statusText, inOneBlock->statusText) << first;
    }
  }
}

// Cuts of a large wave copy no sample. 256 MiB of 16-bit stereo frames, each holding its own number, are cut
// again and again: every piece stays in the bytes that were read, each cut joins the frames on either side of
// it, the frames left keep their order, and the file to save takes the pieces where they are.
TEST(SampleCut, ManyCutsOfALargeWaveCopyNoSample) {
  constexpr std::uint32_t frames = 64u << 20;
  ByteVector file = pcmFile({2, 16}, {});
  const std::size_t dataStart = file.size();
  file.resize(dataStart + std::size_t{frames} * 4);
  formats::setLe32(file, dataStart - 4, frames * 4);
  formats::setLe32(file, 4, static_cast<std::uint32_t>(file.size() - 8));
  for (std::uint32_t frame = 0; frame < frames; ++frame)
    formats::setLe32(file, dataStart + 4 * std::size_t{frame}, frame);
  const auto owner = std::make_shared<const ByteVector>(std::move(file));
  model::Document document;
  formats::RecordingReporter reporter;
  ASSERT_TRUE(formats::readWaveFile(model::SharedBytes(owner, *owner), document, reporter));

  const model::SampleData& samples = document.wave.samples;
  const auto frameAt = [&](std::uint64_t frame) {
    std::uint8_t bytes[4]{};
    samples.read(frame * 4, bytes);
    return formats::le32(bytes, 0);
  };
  std::uint64_t left = frames, seed = 1;
  constexpr int cutCount = 300;
  for (int i = 0; i < cutCount; ++i) {
    seed = seed * 6364136223846793005u + 1442695040888963407u;
    const std::uint64_t first = (seed >> 33) % left;
    const std::uint64_t last = std::min(left - 1, first + (seed >> 13) % (left / 100 + 1));
    const std::uint32_t before = first > 0 ? frameAt(first - 1) : 0, after = last + 1 < left ? frameAt(last + 1) : 0;
    ASSERT_TRUE(cutFrames(document, first, last));
    left -= last - first + 1;
    ASSERT_EQ(frameCountOf(document.wave), left);
    ASSERT_TRUE(first == 0 || frameAt(first - 1) == before) << i;
    ASSERT_TRUE(first == left || frameAt(first) == after) << i;
  }
  EXPECT_LE(samples.pieces().size(), std::size_t{cutCount} + 1);
  const std::less_equal<const std::uint8_t*> notAfter;
  for (const model::SharedBytes& piece : samples.pieces())
    ASSERT_TRUE(notAfter(owner->data() + dataStart, piece.data()) &&
                notAfter(piece.data() + piece.size(), owner->data() + owner->size()));

  ByteVector block(1 << 20);
  std::int64_t previous = -1;
  for (std::uint64_t offset = 0; offset < samples.size(); offset += block.size()) {
    const std::size_t n = samples.read(offset, block);
    std::size_t at = 0;
    for (; at < n; at += 4) {
      const std::int64_t frame = formats::le32(block, at);
      if (frame <= previous) break;
      previous = frame;
    }
    ASSERT_EQ(at, n) << "frame out of order at byte " << offset + at;
  }

  const formats::WrittenFile layout = formats::waveFileInPlace(document);
  EXPECT_TRUE(std::ranges::equal(layout.insets, samples.pieces(), [](const formats::Inset& inset, const auto& piece) {
    return inset.data.data() == piece.data() && inset.data.size() == piece.size();
  }));
  EXPECT_EQ(layout.size(), dataStart + left * 4);
  EXPECT_EQ(formats::le32(layout.bytes, dataStart - 4), left * 4);
}

}  // namespace
}  // namespace delvix::wave
