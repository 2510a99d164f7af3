// Samples read where they lie: every stored encoding, both byte orders, pieced data; names of encodings
// and channels.
#include "wave/sample_reader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "pcm_document.h"

namespace delvix::wave {
namespace {

using namespace test;

constexpr std::uint16_t extensible = 0xFFFE;

// The extensible format's bytes after the first 16: cbSize, valid bits, channel mask and a standard sub-format.
ByteVector extensibleExtra(std::uint16_t validBits, std::uint32_t mask, std::uint16_t subFormat) {
  ByteVector extra{22, 0, static_cast<std::uint8_t>(validBits), static_cast<std::uint8_t>(validBits >> 8)};
  for (int i = 0; i < 4; ++i) extra.push_back(static_cast<std::uint8_t>(mask >> (8 * i)));
  extra.push_back(static_cast<std::uint8_t>(subFormat));
  extra.push_back(static_cast<std::uint8_t>(subFormat >> 8));
  const ByteVector rest{0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
  extra.insert(extra.end(), rest.begin(), rest.end());
  return extra;
}

std::unique_ptr<model::Document> readFormat(const testing::WaveFormatFields& format, const ByteVector& data,
                                            bool bigEndian = false) {
  const ByteVector file = testing::riff("WAVE", {testing::waveFormat(format), testing::chunk("data", data)});
  return readWave(bigEndian ? rifxTwin(file) : file);
}

ByteVector bytesOfFloat(float value) {
  const auto raw = std::bit_cast<std::array<std::uint8_t, 4>>(value);
  return {raw.begin(), raw.end()};
}

TEST(DirectSampleReader, DecodesEveryStoredEncodingInBothByteOrders) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  ByteVector floats = bytesOfFloat(1.5f), nanBytes = bytesOfFloat(nan);
  floats.insert(floats.end(), nanBytes.begin(), nanBytes.end());
  ByteVector bigEndianDouble{0xBF, 0xE0, 0, 0, 0, 0, 0, 0};  // -0.5
  struct Case {
    const char* name;
    testing::WaveFormatFields format;
    ByteVector data;
    bool bigEndian;
    std::vector<float> samples;
  };
  const Case cases[] = {
      {"unsigned 8 bits", {.bitsPerSample = 8}, {0, 128, 255}, false, {-1, 0, 127 / 128.0f}},
      {"16 bits",
       {.bitsPerSample = 16},
       {0x00, 0x80, 0xFF, 0x7F, 0x01, 0x00},
       false,
       {-1, 32767 / 32768.0f, 1 / 32768.0f}},
      {"16 bits RIFX", {.bitsPerSample = 16}, {0x80, 0x00, 0x00, 0x01}, true, {-1, 1 / 32768.0f}},
      {"12 bits in 2 bytes",
       {.bitsPerSample = 12, .blockAlign = 2},
       {0xF0, 0x7F, 0x10, 0x80},
       false,
       {0x7FF0 / 32768.0f, -0x7FF0 / 32768.0f}},
      {"24 bits, stereo",
       {.channels = 2, .bitsPerSample = 24},
       {0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F},
       false,
       {-1, 8388607 / 8388608.0f}},
      {"24 bits RIFX", {.bitsPerSample = 24}, {0x80, 0x00, 0x00, 0x00, 0x00, 0x01}, true, {-1, 1 / 8388608.0f}},
      {"32 bits", {.bitsPerSample = 32}, {0, 0, 0, 0x80, 0, 0, 0, 0x40}, false, {-1, 0.5f}},
      {"36 bits in 5 bytes",
       {.bitsPerSample = 36, .blockAlign = 5},
       {0, 0, 0, 0, 0x80, 0xF0, 0, 0, 0, 0x20},
       false,
       {-1, 0.25f}},
      {"36 bits in 5 bytes RIFX", {.bitsPerSample = 36, .blockAlign = 5}, {0xE0, 0, 0, 0, 0x0F}, true, {-0.25f}},
      {"float, NaN as 0", {.formatTag = 3, .bitsPerSample = 32}, floats, false, {1.5f, 0}},
      {"double RIFX", {.formatTag = 3, .bitsPerSample = 64}, bigEndianDouble, true, {-0.5f}},
      {"A-law", {.formatTag = 6, .bitsPerSample = 8}, {0xD5, 0x2A}, false, {8 / 32768.0f, -32256 / 32768.0f}},
      {"µ-law",
       {.formatTag = 7, .bitsPerSample = 8},
       {0xFF, 0x00, 0x80},
       false,
       {0, -32124 / 32768.0f, 32124 / 32768.0f}},
      {"extensible, 24 bits in 32",
       {.formatTag = extensible, .bitsPerSample = 32, .extra = extensibleExtra(24, 4, 1)},
       {0, 0, 0, 0xC0},
       false,
       {-0.5f}},
      {"extensible float",
       {.formatTag = extensible, .bitsPerSample = 32, .extra = extensibleExtra(32, 4, 3)},
       bytesOfFloat(-0.75f),
       false,
       {-0.75f}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto document = readFormat(c.format, c.data, c.bigEndian);
    auto reader = directSampleReader(document->wave);
    ASSERT_TRUE(reader);
    ASSERT_EQ(reader->frames() * reader->channels(), c.samples.size());
    std::vector<float> samples(c.samples.size() + 3, 9.0f);  // room for more than there is
    EXPECT_EQ(reader->read(0, samples), reader->frames());
    samples.resize(c.samples.size());
    EXPECT_EQ(samples, c.samples);
    EXPECT_EQ(reader->read(reader->frames(), samples), 0u);
  }
}

TEST(DirectSampleReader, ReadsAcrossThePiecesOfACutDocument) {
  ByteVector data;
  for (int i = 0; i < 3000; ++i) data.push_back(static_cast<std::uint8_t>(i * 7));
  for (const bool bigEndian : {false, true}) {
    for (const PcmLayout layout : {PcmLayout{2, 16}, PcmLayout{3, 24}, PcmLayout{1, 8}}) {
      SCOPED_TRACE(layout.bits);
      auto pieced = readInTwoPieces(layout, data, bigEndian);
      const ByteVector file = pcmFile(layout, data);
      auto whole = readWave(bigEndian ? rifxTwin(file) : file);
      auto piecedReader = directSampleReader(pieced->wave), wholeReader = directSampleReader(whole->wave);
      ASSERT_TRUE(piecedReader && wholeReader);
      ASSERT_EQ(piecedReader->frames(), wholeReader->frames());
      const std::size_t samples = static_cast<std::size_t>(wholeReader->frames()) * layout.channels;
      std::vector<float> fromPieces(samples), fromWhole(samples);
      // From the first frame on (across the cut) and from frames within.
      for (const std::uint64_t first : {0, 1, 57}) {
        EXPECT_EQ(piecedReader->read(first, fromPieces), wholeReader->frames() - first);
        wholeReader->read(first, fromWhole);
        EXPECT_EQ(fromPieces, fromWhole);
      }
    }
  }
}

TEST(SampleLayout, OnlyStoredSamplesOfAPossibleSizeHaveOne) {
  struct Case {
    const char* name;
    testing::WaveFormatFields format;
    std::optional<int> containerBytes;
  };
  const Case cases[] = {
      {"8 bits", {.bitsPerSample = 8}, 1},
      {"20 bits", {.bitsPerSample = 20, .blockAlign = 3}, 3},
      {"a wrong block align of 16-bit samples", {.channels = 2, .bitsPerSample = 16, .blockAlign = 3}, 2},
      {"36 bits in 6 bytes", {.bitsPerSample = 36, .blockAlign = 6}, std::nullopt},
      {"no channels", {.channels = 0, .bitsPerSample = 16}, std::nullopt},
      {"no bits", {.bitsPerSample = 0, .blockAlign = 1}, std::nullopt},
      {"72 bits", {.bitsPerSample = 72, .blockAlign = 9}, std::nullopt},
      {"24-bit float", {.formatTag = 3, .bitsPerSample = 24}, std::nullopt},
      {"16-bit µ-law", {.formatTag = 7, .bitsPerSample = 16}, std::nullopt},
      {"IMA ADPCM", {.formatTag = 0x11, .bitsPerSample = 4, .blockAlign = 256}, std::nullopt},
      {"extensible G.726",
       {.formatTag = extensible, .bitsPerSample = 4, .extra = extensibleExtra(4, 4, 0x64)},
       std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto document = readFormat(c.format, ByteVector(48, 0x40));
    const auto layout = sampleLayoutOf(document->wave);
    ASSERT_EQ(layout.has_value(), c.containerBytes.has_value());
    if (layout) EXPECT_EQ(layout->containerBytes, *c.containerBytes);
    if (layout) EXPECT_EQ(layout->frameBytes, layout->containerBytes * c.format.channels);
  }
}

TEST(SampleReader, NamesEncodingsAndChannels) {
  struct Case {
    const char* name;
    testing::WaveFormatFields format;
    std::string undecodable;
    std::vector<std::string> channels;
  };
  const std::string cannot = ") cannot be decoded; its structure is shown.";
  const Case cases[] = {
      {"G.726",
       {.formatTag = 0x64, .bitsPerSample = 4, .blockAlign = 1},
       "The wave encoding 0x0064 (G.726 ADPCM" + cannot,
       {"Mono"}},
      {"Yamaha, stereo",
       {.formatTag = 0x20, .channels = 2, .bitsPerSample = 4, .blockAlign = 1},
       "The wave encoding 0x0020 (Yamaha ADPCM" + cannot,
       {"Left", "Right"}},
      {"unknown, 3 channels",
       {.formatTag = 0xABCD, .channels = 3, .blockAlign = 3},
       "The wave encoding 0xABCD (unknown" + cannot,
       {"Channel 1", "Channel 2", "Channel 3"}},
      {"extensible 5.1",
       {.formatTag = extensible,
        .channels = 6,
        .bitsPerSample = 4,
        .blockAlign = 3,
        .extra = extensibleExtra(4, 0x60F, 0x64)},
       "The wave encoding 0x0064 (G.726 ADPCM" + cannot,
       {"Front left", "Front right", "Front centre", "LFE", "Side left", "Side right"}},
      {"a mask naming fewer channels than there are",
       {.formatTag = extensible, .channels = 4, .bitsPerSample = 16, .extra = extensibleExtra(16, 0x80000104, 1)},
       "The wave encoding 0x0001 (PCM" + cannot,
       {"Front centre", "Back centre", "Channel 3", "Channel 4"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto document = readFormat(c.format, ByteVector(48, 0x40));
    EXPECT_EQ(undecodableText(document->wave), c.undecodable);
    EXPECT_EQ(channelNamesOf(document->wave), c.channels);
  }
  EXPECT_EQ(encodingName(0x0055), "MPEG Layer 3");
  EXPECT_EQ(encodingName(0x0007), "µ-law");
}

}  // namespace
}  // namespace delvix::wave
