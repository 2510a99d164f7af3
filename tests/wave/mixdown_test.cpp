// Down-mixing many channels to what a sound output takes, and the 16-bit sound it gives.
#include "wave/mixdown.h"

#include <gtest/gtest.h>

#include <cmath>

namespace delvix::wave {
namespace {

constexpr float c = 0.70710678f;  // -3 dB

TEST(DownMixMatrix, FollowsTheSpeakerPositionsAndNeverPassesFullScale) {
  struct Case {
    const char* name;
    int channels;
    std::uint32_t mask;
    int outputs;
    std::vector<float> gains;  // before the scaling to full scale
  };
  const Case cases[] = {
      {"stereo as it is", 2, 0, 2, {1, 0, 0, 1}},
      {"stereo with a mask: still as it is", 2, 0x3, 2, {1, 0, 0, 1}},
      {"mono to both sides", 1, 0, 2, {1, 1}},
      {"mono to mono", 1, 0, 1, {1}},
      {"stereo to mono", 2, 0, 1, {0.5f, 0.5f}},
      {"3 channels without a mask: FL FR FC", 3, 0, 2, {1, 0, c, 0, 1, c}},
      {"5.1 without a mask: the LFE left out", 6, 0, 2, {1, 0, c, 0, c, 0, 0, 1, c, 0, 0, c}},
      {"5.1 with side speakers", 6, 0x60F, 2, {1, 0, c, 0, c, 0, 0, 1, c, 0, 0, c}},
      {"quad by its mask", 4, 0x33, 2, {1, 0, c, 0, 0, 1, 0, c}},
      {"a mask naming fewer channels: the rest in the middle", 3, 0x1, 2, {1, c, c, 0, c, c}},
      {"7.1 to mono", 8, 0, 1, {.5f, .5f, c, 0, c / 2, c / 2, .5f, .5f}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const MixMatrix matrix = downMixMatrix(k.channels, k.mask, k.outputs);
    ASSERT_EQ(matrix.inputs, k.channels);
    ASSERT_EQ(matrix.outputs, k.outputs);
    ASSERT_EQ(matrix.gains.size(), k.gains.size());
    float fullest = 0;
    for (int output = 0; output < k.outputs; ++output) {
      float sum = 0;
      for (int input = 0; input < k.channels; ++input) sum += k.gains[output * k.channels + input];
      fullest = std::max(fullest, sum);
    }
    const float scale = std::max(fullest, 1.0f);
    for (std::size_t i = 0; i < k.gains.size(); ++i) EXPECT_NEAR(matrix.gains[i], k.gains[i] / scale, 1e-6) << i;
  }
  EXPECT_TRUE(downMixMatrix(0, 0, 2).gains.empty());
  EXPECT_TRUE(downMixMatrix(2, 0, 3).gains.empty());
}

// Frames whose samples are given, as a file's reader would give them.
class ListReader : public SampleReader {
 public:
  ListReader(int channels, std::vector<float> samples) : channels_(channels), samples_(std::move(samples)) {}
  int channels() const override { return channels_; }
  std::uint64_t frames() const override { return samples_.size() / static_cast<std::size_t>(channels_); }
  std::size_t read(std::uint64_t first, std::span<float> out) override {
    if (first >= frames()) return 0;
    const std::size_t count = std::min<std::size_t>(out.size() / channels_, frames() - first);
    std::copy_n(samples_.begin() + static_cast<std::ptrdiff_t>(first * channels_), count * channels_, out.begin());
    return count;
  }

 private:
  int channels_;
  std::vector<float> samples_;
};

std::vector<std::int16_t> readAll(PcmSource& source, std::size_t pieceBytes) {
  std::vector<std::int16_t> samples;
  std::vector<std::uint8_t> piece(pieceBytes);
  while (const std::size_t read = source.read(piece))
    for (std::size_t i = 0; i + 1 < read; i += 2)
      samples.push_back(static_cast<std::int16_t>(piece[i] | piece[i + 1] << 8));
  return samples;
}

TEST(MixedSource, MixesRoundsAndClampsTheFramesAskedFor) {
  struct Case {
    const char* name;
    int channels;
    std::vector<float> samples;
    int outputs;
    std::uint64_t first, end;
    std::vector<std::int16_t> expected;
  };
  const float s = 1.0f / 32768;
  const Case cases[] = {
      {"16-bit stereo passes bit for bit",
       2,
       {-32768 * s, 32767 * s, 1 * s, -1 * s, 12345 * s, -23456 * s},
       2,
       0,
       3,
       {-32768, 32767, 1, -1, 12345, -23456}},
      {"8-bit steps as (s - 128) * 256", 1, {-1.0f, 127 / 128.0f, 0}, 1, 0, 3, {-32768, 32512, 0}},
      {"mono to both sides", 1, {0.5f, -0.25f}, 2, 0, 2, {16384, 16384, -8192, -8192}},
      {"a part, end cut to the frames", 1, {0.1f, 0.2f, 0.3f, 0.4f}, 1, 2, 99, {9830, 13107}},
      {"a float past full scale is clamped, NaN is silence", 1, {3.0f, -3.0f, NAN}, 1, 0, 3, {32767, -32768, 0}},
      {"sound only in the centre of 5.1 is heard on both sides",
       6,
       {0, 0, 0.5f, 0, 0, 0},
       2,
       0,
       1,
       {static_cast<std::int16_t>(std::lrint(16384 * c / (1 + c + c))),
        static_cast<std::int16_t>(std::lrint(16384 * c / (1 + c + c)))}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    // Read in pieces that end inside a frame, and in one.
    for (std::size_t pieceBytes : {std::size_t{7}, std::size_t{1} << 16}) {
      auto source = mixedSource(std::make_unique<ListReader>(k.channels, k.samples), 8000,
                                downMixMatrix(k.channels, 0, k.outputs), k.first, k.end);
      ASSERT_TRUE(source);
      EXPECT_EQ(source->format(), (PcmFormat{8000, k.outputs, 16}));
      EXPECT_EQ(source->remaining(), k.expected.size() * 2);
      EXPECT_EQ(readAll(*source, pieceBytes), k.expected);
      EXPECT_EQ(source->remaining(), 0u);
      EXPECT_EQ(source->framesRead(), k.expected.size() / k.outputs);
    }
  }
  EXPECT_FALSE(mixedSource(std::make_unique<ListReader>(2, std::vector<float>(4)), 8000, downMixMatrix(3, 0, 2), 0, 2));
  EXPECT_FALSE(mixedSource(nullptr, 8000, downMixMatrix(1, 0, 2), 0, 2));
}

TEST(PlayedFrame, CountsTheFramesHeardUpToTheEnd) {
  EXPECT_EQ(playedFrame(100, 1000, 0, 8000), 100u);
  EXPECT_EQ(playedFrame(100, 1000, 50'000, 8000), 500u);
  EXPECT_EQ(playedFrame(100, 1000, 10'000'000, 8000), 1000u);
  EXPECT_EQ(playedFrame(0, UINT64_MAX, UINT64_MAX, 192000), UINT64_MAX / 1'000'000 * 192000 + 105910);
  EXPECT_EQ(playedFrame(5, 5, 1000, 0), 5u);
}

}  // namespace
}  // namespace delvix::wave
