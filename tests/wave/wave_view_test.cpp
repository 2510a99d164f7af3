// The red lines, the track bar's scale and the time panel of the wave view.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "wave/sample_selection.h"
#include "wave/track_scale.h"

namespace delvix::wave {
namespace {

constexpr std::int64_t unset = -1;

TEST(SampleSelection, ClicksSetTheFirstLineThenTheSecondThenStartAgain) {
  struct Case {
    std::vector<std::uint64_t> clicks;
    std::int64_t first, second;
    const char* count;
  };
  const Case cases[] = {
      {{}, unset, unset, "0"},      {{5}, 5, unset, "0"},
      {{100, 110}, 100, 110, "11"},                               // both lines are deleted with the frames between them
      {{110, 100}, 110, 100, "11"}, {{7, 7}, 7, unset, "0"},      // the first line's frame again: only the first stays
      {{7, 7, 9}, 7, 9, "3"},       {{1, 2, 3}, 3, unset, "0"},   // a click with both set starts again there
      {{1, 2, 3, 9}, 3, 9, "7"},    {{1000}, unset, unset, "0"},  // past the last frame: ignored
      {{5, 1000}, 5, unset, "0"},   {{0, 999}, 0, 999, "1000"},
  };
  for (const Case& c : cases) {
    SampleSelection selection;
    for (std::uint64_t frame : c.clicks) EXPECT_EQ(selection.click(frame, 1000), frame < 1000);
    const auto text = ::testing::PrintToString(c.clicks);
    EXPECT_EQ(selection.first().value_or(unset), c.first) << text;
    EXPECT_EQ(selection.second().value_or(unset), c.second) << text;
    EXPECT_EQ(selection.countText(), c.count) << text;
    EXPECT_EQ(selection.complete(), c.second != unset) << text;
    if (selection.range()) {
      EXPECT_LE(selection.range()->first, selection.range()->second);
    }
  }
  SampleSelection selection;
  selection.click(1, 10), selection.click(2, 10), selection.clear();
  EXPECT_FALSE(selection.first() || selection.second());
}

TEST(TrackScale, EveryFrameCanBeScrolledIntoTheBox) {
  constexpr std::uint64_t oneHour = 3600ull * 44100;
  constexpr std::uint64_t intMax = INT_MAX;
  struct Case {
    std::uint64_t frames;
    int width;
    int maximum;
    std::uint64_t step;
    int tickInterval;
  };
  const Case cases[] = {
      {500, 297, 203, 1, 500},  // fewer frames than twice the box: still every frame reachable
      {1000, 297, 703, 1, 500},
      {297, 297, 0, 1, 500},
      {10, 297, 0, 1, 500},
      {0, 297, 0, 1, 500},
      {10, -5, 10, 1, 500},
      {oneHour, 297, static_cast<int>(oneHour - 297), 1, 0},  // 317 519 ticks would make a solid bar
      {intMax + 297, 297, INT_MAX, 1, 0},
      {intMax + 298, 297, static_cast<int>((intMax + 2) / 2), 2, 0},
      {3 * intMax + 5 + 297, 297, static_cast<int>((3 * intMax + 5 + 3) / 4), 4, 0},
      {UINT64_MAX, 0, 0, 0, 0},  // only the checks below: no overflow at the far end
  };
  for (const Case& c : cases) {
    const TrackScale scale = trackScale(c.frames, c.width);
    const std::uint64_t lastFirst = c.frames - std::min<std::uint64_t>(c.frames, std::max(c.width, 0));
    if (c.frames != UINT64_MAX) {
      EXPECT_EQ(scale.maximum, c.maximum) << c.frames;
      EXPECT_EQ(scale.step, c.step) << c.frames;
      EXPECT_EQ(scale.tickInterval, c.tickInterval) << c.frames;
    }
    EXPECT_GE(scale.maximum, 0);
    EXPECT_EQ(scale.firstFrameAt(0), 0u);
    EXPECT_EQ(scale.firstFrameAt(scale.maximum), lastFirst) << c.frames;
    EXPECT_EQ(scale.firstFrameAt(INT_MAX), lastFirst) << c.frames;
    if (scale.maximum > 1) {
      EXPECT_LT(scale.firstFrameAt(scale.maximum - 1), lastFirst) << c.frames;
      EXPECT_EQ(scale.firstFrameAt(1), scale.step) << c.frames;
    }
  }
}

TEST(TrackScale, TimeOfAFrameIsAClockAndTheSampleNumber) {
  struct Case {
    std::uint64_t frame, frames;
    double playingTime;
    const char* text;
  };
  const Case cases[] = {{0, 1000, 10, "0:00:00.000 (0)"},
                        {123, 1000, 10, "0:00:01.230 (123)"},
                        {999, 1000, 3600, "0:59:56.400 (999)"},
                        {1, 3, 2, "0:00:00.667 (1)"},
                        {35999999, 36000000, 100000, "27:46:39.997 (35999999)"},
                        {5, 0, 3, "0:00:00.000"}};
  for (const Case& c : cases) EXPECT_EQ(frameTimeText(c.frame, c.frames, c.playingTime), c.text) << c.frame;
  for (double odd : {-1.0, std::nan(""), -std::numeric_limits<double>::infinity()})
    EXPECT_EQ(clockText(odd), "0:00:00.000");
  EXPECT_EQ(clockText(59.9996), "0:01:00.000");
  EXPECT_FALSE(clockText(std::numeric_limits<double>::infinity()).empty());
}

}  // namespace
}  // namespace delvix::wave
