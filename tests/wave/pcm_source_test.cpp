// The sound sources: one channel de-interleaved as it is read, the whole data little-endian.
#include "wave/pcm_source.h"

#include <gtest/gtest.h>

#include "pcm_document.h"
#include "wave/sample_cut.h"

namespace delvix::wave {
namespace {

using namespace test;

// Everything `source` gives, read `piece` bytes at a time; every read must end on a whole frame.
ByteVector readAll(PcmSource& source, std::size_t piece) {
  ByteVector all, buffer(piece);
  const std::size_t frameBytes = static_cast<std::size_t>(source.format().channels * source.format().bitsPerSample / 8);
  for (std::uint64_t left = source.remaining(); std::size_t n = source.read(buffer); left = source.remaining()) {
    EXPECT_EQ(n % frameBytes, 0u);
    EXPECT_EQ(source.remaining(), left - n);
    all.insert(all.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
  }
  EXPECT_EQ(source.remaining(), 0u);
  return all;
}

// The points the wave view draws for one channel.
std::vector<int> pointsOf(const model::Document& document, bool right) {
  const formats::WaveChannels channels = formats::prepareChannels(document.wave);
  const formats::ChannelPoints points(right ? channels.right : channels.left, 100);
  std::vector<int> rows;
  for (std::size_t frame = 0; frame < points.size(); ++frame) rows.push_back(points[frame]);
  return rows;
}

// The same from data read in one piece and from data in two pieces (after a cut); the same points drawn.
TEST(PcmSource, ChannelsAndDataComeOutLittleEndianInWholeFrames) {
  // Stereo 16-bit frames (left, right): (0x0201, 0x0403), (0x0605, 0x0807), (0x0A09, 0x0C0B).
  const ByteVector stereo16{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C};
  const ByteVector stereo8{10, 20, 11, 21, 12, 22, 13};  // a partial frame at the end
  struct Case {
    const char* name;
    PcmLayout layout;
    const ByteVector& data;
    bool bigEndian;
    ByteVector left, right, whole;
  };
  const Case cases[] = {
      {"16-bit stereo", {2, 16}, stereo16, false, {1, 2, 5, 6, 9, 10}, {3, 4, 7, 8, 11, 12}, stereo16},
      {"16-bit stereo RIFX",
       {2, 16},
       stereo16,
       true,
       {2, 1, 6, 5, 10, 9},
       {4, 3, 8, 7, 12, 11},
       {2, 1, 4, 3, 6, 5, 8, 7, 10, 9, 12, 11}},
      {"8-bit stereo", {2, 8}, stereo8, false, {10, 11, 12}, {20, 21, 22}, {10, 20, 11, 21, 12, 22}},
      {"8-bit stereo RIFX", {2, 8}, stereo8, true, {10, 11, 12}, {20, 21, 22}, {10, 20, 11, 21, 12, 22}},
      {"16-bit mono", {1, 16}, stereo16, false, stereo16, {}, stereo16},
      {"16-bit, 3 channels", {3, 16}, stereo16, false, {}, {}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ByteVector file = pcmFile(c.layout, c.data);
    const auto inOnePiece = readWave(c.bigEndian ? rifxTwin(file) : file);
    const auto inTwoPieces = readInTwoPieces(c.layout, c.data, c.bigEndian);
    for (const model::Document* document : {inOnePiece.get(), inTwoPieces.get()}) {
      SCOPED_TRACE(document == inOnePiece.get() ? "in one piece" : "in two pieces");
      for (bool right : {false, true}) {
        auto source = channelSource(*document, right);
        const ByteVector& expected = right ? c.right : c.left;
        ASSERT_EQ(source != nullptr, !expected.empty()) << right;
        if (!source) continue;
        EXPECT_EQ(source->format(), (PcmFormat{8000, 1, c.layout.bits}));
        EXPECT_EQ(source->remaining(), expected.size());
        EXPECT_EQ(readAll(*source, 3), expected);
      }
      auto whole = pcmDataSource(*document);
      ASSERT_NE(whole, nullptr);
      EXPECT_EQ(whole->format(), (PcmFormat{8000, c.layout.channels, c.layout.bits}));
      EXPECT_EQ(readAll(*whole, 7), c.whole);
    }
    for (bool right : {false, true}) EXPECT_EQ(pointsOf(*inTwoPieces, right), pointsOf(*inOnePiece, right)) << right;
  }
}

TEST(PcmSource, OtherFormatsHaveNoSourceAndASourceOutlivesACut) {
  EXPECT_EQ(pcmDataSource(*readWave(pcmFile({1, 24}, countingBytes(9)))), nullptr);
  EXPECT_EQ(channelSource(*readWave(pcmFile({1, 24}, countingBytes(9))), false), nullptr);
  EXPECT_EQ(pcmDataSource(model::Document{}), nullptr);

  auto read = readWave(pcmFile({2, 8}, countingBytes(20)));
  model::Document& document = *read;
  auto right = channelSource(document, true);
  auto whole = pcmDataSource(document);
  ASSERT_TRUE(cutFrames(document, 0, 8));
  document.wave = {};
  EXPECT_EQ(readAll(*right, 4), (ByteVector{1, 3, 5, 7, 9, 11, 13, 15, 17, 19}));
  EXPECT_EQ(readAll(*whole, 4096), countingBytes(20));
}

}  // namespace
}  // namespace delvix::wave
