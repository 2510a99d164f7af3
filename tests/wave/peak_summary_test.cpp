// Peak summaries at both levels, the peaks of view columns and the rows of sample values.
#include "wave/peak_summary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>

#include "wave/view_columns.h"

namespace delvix::wave {
namespace {

// Samples made up as they are read: channel c of frame f is a fixed scramble of both, from -1 to 1; nothing
// past `givesOutAt`.
class MadeUpReader : public SampleReader {
 public:
  MadeUpReader(int channels, std::uint64_t frames, std::uint64_t givesOutAt = ~0ull)
      : channels_(channels), frames_(frames), givesOutAt_(givesOutAt) {}
  static float sampleAt(std::uint64_t frame, int channel) {
    const std::uint64_t mixed = (frame * 2654435761u + static_cast<std::uint64_t>(channel) * 40503u) % 65536;
    return (static_cast<float>(mixed) - 32768) / 32768;
  }
  int channels() const override { return channels_; }
  std::uint64_t frames() const override { return frames_; }
  std::size_t read(std::uint64_t first, std::span<float> out) override {
    const std::uint64_t end = std::min({frames_, givesOutAt_, first + out.size() / channels_});
    for (std::uint64_t frame = first; frame < end; ++frame)
      for (int c = 0; c < channels_; ++c) out[(frame - first) * channels_ + c] = sampleAt(frame, c);
    return first < end ? end - first : 0;
  }

 private:
  int channels_;
  std::uint64_t frames_;
  std::uint64_t givesOutAt_;
};

Peak directPeak(int channel, std::uint64_t first, std::uint64_t end) {
  Peak peak{2, -2};
  for (std::uint64_t frame = first; frame < end; ++frame) {
    peak.low = std::min(peak.low, MadeUpReader::sampleAt(frame, channel));
    peak.high = std::max(peak.high, MadeUpReader::sampleAt(frame, channel));
  }
  return peak;
}

constexpr std::uint64_t longFrames = 5 * PeakSummary::coarseFrames + 1000;

TEST(PeakSummary, GivesTheBlocksAStretchTouchesAtBothLevels) {
  MadeUpReader reader(2, longFrames);
  PeakSummary summary(2, longFrames);
  std::vector<std::uint64_t> progress;
  EXPECT_TRUE(summary.build(reader, [&](std::uint64_t done) { return progress.push_back(done), true; }));
  EXPECT_TRUE(summary.complete());
  EXPECT_FALSE(progress.empty());
  EXPECT_TRUE(std::ranges::is_sorted(progress));
  struct Stretch {
    std::uint64_t first, end;            // asked for
    std::uint64_t blockFirst, blockEnd;  // the whole fine blocks it touches
  };
  const Stretch stretches[] = {
      {0, 1, 0, 256},
      {255, 257, 0, 512},
      {1000, 200000, 768, 200192},
      {65536, 131072, 65536, 131072},
      {0, longFrames, 0, longFrames},
      {70000, longFrames + 50, 69888, longFrames},
      {longFrames - 10, longFrames, longFrames - 1000 % 256, longFrames},
  };
  for (const Stretch& s : stretches)
    for (int channel = 0; channel < 2; ++channel) {
      SCOPED_TRACE(testing::Message() << s.first << ".." << s.end << " channel " << channel);
      EXPECT_EQ(summary.peakOf(channel, s.first, s.end), directPeak(channel, s.blockFirst, s.blockEnd));
    }
  EXPECT_EQ(summary.peakOf(0, 10, 10), std::nullopt);
  EXPECT_EQ(summary.peakOf(2, 0, 10), std::nullopt);
  EXPECT_EQ(summary.peakOf(0, longFrames, longFrames + 5), std::nullopt);
}

TEST(PeakSummary, StopsWhenToldOrWhenTheReaderGivesOutAndGoesOnLater) {
  MadeUpReader reader(1, longFrames);
  PeakSummary summary(1, longFrames);
  EXPECT_FALSE(summary.build(reader, [](std::uint64_t) { return false; }));
  const std::uint64_t done = summary.framesDone();
  ASSERT_GT(done, 0u);
  ASSERT_LT(done, longFrames);
  EXPECT_EQ(done % PeakSummary::fineFrames, 0u);
  EXPECT_EQ(summary.peakOf(0, 0, done), directPeak(0, 0, done));
  EXPECT_EQ(summary.peakOf(0, 0, done + 1), std::nullopt);
  EXPECT_TRUE(summary.build(reader, [](std::uint64_t) { return true; }));
  EXPECT_EQ(summary.peakOf(0, 0, longFrames), directPeak(0, 0, longFrames));
  EXPECT_EQ(summary.peakOf(0, 1000, 300000), directPeak(0, 768, 300032));

  MadeUpReader failing(1, longFrames, 100000);
  PeakSummary partial(1, longFrames);
  EXPECT_FALSE(partial.build(failing, [](std::uint64_t) { return true; }));
  EXPECT_LE(partial.framesDone(), 100000u);
  EXPECT_FALSE(partial.complete());
  // A reader of other channels than the summary's is not read.
  EXPECT_FALSE(PeakSummary(2, longFrames).build(reader, [](std::uint64_t) { return true; }));
}

// What is done may be read while the rest is built on another thread.
TEST(PeakSummary, IsReadWhileBuilt) {
  MadeUpReader reader(2, longFrames);
  PeakSummary summary(2, longFrames);
  std::thread builder([&] { summary.build(reader, [](std::uint64_t) { return true; }); });
  bool agreed = true;
  for (std::uint64_t done = 0; done < longFrames && agreed;) {
    done = summary.framesDone();
    if (done > 0) agreed = summary.peakOf(1, done - 1, done) == directPeak(1, (done - 1) / 256 * 256, done);
  }
  builder.join();
  EXPECT_TRUE(agreed);
}

TEST(ColumnPeaks, NarrowColumnsFromTheSamplesWideOnesFromTheSummary) {
  MadeUpReader reader(2, longFrames);
  PeakSummary summary(2, longFrames);
  // One frame a column: the frame's own sample, up to the last frame.
  const auto closest = columnPeaks(reader, nullptr, {longFrames - 3, 1, 5});
  ASSERT_EQ(closest.size(), 10u);
  for (int x = 0; x < 3; ++x) {
    const float sample = MadeUpReader::sampleAt(longFrames - 3 + x, 1);
    EXPECT_EQ(closest[5 + x], (Peak{sample, sample}));
  }
  EXPECT_EQ(closest[3], std::nullopt);
  EXPECT_EQ(closest[9], std::nullopt);
  // Wide columns wait for the summary.
  const ViewSpan wide{0, longFrames / 10.0, 10};
  EXPECT_EQ(columnPeaks(reader, &summary, wide), std::vector<std::optional<Peak>>(20));
  summary.build(reader, [](std::uint64_t) { return true; });
  const auto peaks = columnPeaks(reader, &summary, wide);
  EXPECT_EQ(peaks[13], summary.peakOf(1, 3 * longFrames / 10, 4 * longFrames / 10));
  EXPECT_EQ(columnPeaks(reader, nullptr, {0, 400, 3}), std::vector<std::optional<Peak>>(6));
}

TEST(RowOf, SpansTheBoxFromFullScaleUpToFullScaleDown) {
  struct Case {
    float value;
    int height;
    float gain;
    int row;
  };
  const Case cases[] = {
      {1, 101, 1, 0},    {-1, 101, 1, 100}, {0, 101, 1, 50},      {0.5f, 101, 1, 25}, {3, 101, 1, 0},
      {-3, 101, 1, 100}, {0.5f, 101, 2, 0}, {0.1f, 101, 4, 30},   {NAN, 101, 1, 50},  {1, 0, 1, 0},
      {-1, 1, 1, 0},     {-1, 2, 1, 1},     {INFINITY, 50, 1, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(rowOf(c.value, c.height, c.gain), c.row) << c.value << " in " << c.height << " x" << c.gain;
}

}  // namespace
}  // namespace delvix::wave
