#include "formats/wave_channels.h"

#include <gtest/gtest.h>

#include "formats/le_bytes.h"

namespace delvix::formats {
namespace {

model::WaveState pcm(std::uint16_t channels, std::uint16_t bits, std::vector<std::uint8_t> data) {
  model::WaveState wave;
  wave.format.formatTag = model::wavePcmTag;
  wave.format.channels = channels;
  wave.format.bitsPerSample = bits;
  wave.format.samplesPerSecond = 8000;
  wave.format.blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
  wave.dataSize = static_cast<std::uint32_t>(data.size());
  wave.samples = model::SharedBytes::copyOf(data);
  return wave;
}

std::vector<std::uint8_t> words(std::initializer_list<std::int16_t> samples) {
  std::vector<std::uint8_t> out;
  for (std::int16_t s : samples) {
    out.push_back(static_cast<std::uint8_t>(s));
    out.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(s) >> 8));
  }
  return out;
}

TEST(WaveChannels, OnlyPcmOfEightOrSixteenBitsInOneOrTwoChannelsIsShown) {
  EXPECT_TRUE(channelLayoutOf(pcm(2, 16, {})));
  EXPECT_FALSE(channelLayoutOf(pcm(3, 16, {})));
  EXPECT_FALSE(channelLayoutOf(pcm(1, 24, {})));
  model::WaveState alaw = pcm(1, 8, {});
  alaw.format.formatTag = 6;
  EXPECT_FALSE(channelLayoutOf(alaw));
  alaw.format.formatTag = model::waveExtensibleTag;
  alaw.extensiblePcm = true;
  EXPECT_TRUE(channelLayoutOf(alaw));
}

TEST(WaveChannels, EightBitPointsAreTheSampleOverFive) {
  WaveChannels c = prepareChannels(pcm(2, 8, {255, 128, 0, 5, 7}));
  EXPECT_EQ(c.frameCount, 2u);
  EXPECT_EQ(c.left.gather(), (std::vector<std::uint8_t>{255, 0}));
  EXPECT_EQ(c.right.gather(), (std::vector<std::uint8_t>{128, 5}));
  ChannelPoints left(c.left, 100), right(c.right, 100);
  EXPECT_EQ(left[0], 51);
  EXPECT_EQ(right[0], 25);
  EXPECT_EQ(right[1], 1);
}

TEST(WaveChannels, SixteenBitPointsRiseAboveTheMiddle) {
  for (std::uint16_t channels : {1, 2}) {
    std::vector<std::uint8_t> data;
    for (std::int16_t s : {0, 32767, -1, -32768}) {
      auto w = words({s});
      for (int k = 0; k < channels; ++k) data.insert(data.end(), w.begin(), w.end());
    }
    WaveChannels c = prepareChannels(pcm(channels, 16, data));
    ASSERT_EQ(c.frameCount, 4u);
    for (const auto* channel : {&c.left, &c.right}) {
      if (channel->frameCount() == 0) continue;
      ChannelPoints points(*channel, 101);
      EXPECT_EQ(points[0], 50);
      EXPECT_EQ(points[1], 50 - 273);
      EXPECT_EQ(points[2], 50);
      EXPECT_EQ(points[3], 50 + 273);
    }
    EXPECT_EQ(c.right.frameCount(), channels == 1 ? 0u : 4u);
  }
}

TEST(WaveChannels, FrameCountOfStereoSixteenBit) {
  WaveChannels c = prepareChannels(pcm(2, 16, std::vector<std::uint8_t>(1000000)));
  EXPECT_EQ(c.frameCount, 250000u);
  EXPECT_EQ(c.left.frameCount(), 250000u);
  EXPECT_EQ(c.left.gather().size(), 500000u);
}

TEST(WaveChannels, TheFirstScreenJoinsThePointsInBlack) {
  WaveChannels c = prepareChannels(pcm(1, 8, {50, 50, 100, 0}));
  ChannelPoints points(c.left, 30);
  gfx::Image picture = drawWaveform(points, 3, 30);
  ASSERT_EQ(picture.width(), 3);
  EXPECT_EQ(picture.at(0, 10), waveForeground);
  EXPECT_EQ(picture.at(1, 10), waveForeground);
  EXPECT_EQ(picture.at(2, 20), waveForeground);
  EXPECT_EQ(picture.at(2, 15), waveForeground);  // the segment from row 10 to row 20
  EXPECT_EQ(picture.at(0, 0), waveBackground);
  EXPECT_EQ(picture.at(0, 29), waveBackground);
  // Points outside the box are clipped; fewer frames than columns leave the rest green.
  WaveChannels loud = prepareChannels(pcm(1, 16, words({32767, -32768})));
  gfx::Image clipped = drawWaveform(ChannelPoints(loud.left, 20), 5, 20);
  EXPECT_EQ(clipped.at(0, 0), waveForeground);
  EXPECT_EQ(clipped.at(1, 19), waveForeground);
  EXPECT_EQ(clipped.at(4, 10), waveBackground);
}

}  // namespace
}  // namespace delvix::formats
