// The peak summary built on its own thread: complete when through, stopped at once when cancelled or destroyed.
#include "wave/summary_builder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace delvix::wave {
namespace {

// One channel of `frames` frames; frame i is (i % 1000) / 1000, so every block of 1000 frames runs 0 to 0.999.
class RampReader : public SampleReader {
 public:
  explicit RampReader(std::uint64_t frames) : frames_(frames) {}
  int channels() const override { return 1; }
  std::uint64_t frames() const override { return frames_; }
  std::size_t read(std::uint64_t first, std::span<float> out) override {
    if (first >= frames_) return 0;
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), frames_ - first));
    for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<float>((first + i) % 1000) / 1000;
    return count;
  }

 private:
  std::uint64_t frames_;
};

void waitFor(const SummaryBuilder& builder) {
  for (int i = 0; i < 1000 && !builder.finished(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

TEST(SummaryBuilder, SummarisesEveryFrameOnItsOwnThread) {
  SummaryBuilder builder(std::make_unique<RampReader>(1'000'000));
  waitFor(builder);
  ASSERT_TRUE(builder.complete());
  EXPECT_EQ(builder.percentDone(), 100);
  EXPECT_EQ(builder.summary()->peakOf(0, 0, 1'000'000), (Peak{0, 0.999f}));
}

TEST(SummaryBuilder, StopsWhenCancelledOrDestroyedKeepingWhatIsDone) {
  const auto started = std::chrono::steady_clock::now();
  {
    SummaryBuilder builder(std::make_unique<RampReader>(400'000'000));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    builder.cancel();
    EXPECT_TRUE(builder.finished());
    EXPECT_FALSE(builder.complete());
    EXPECT_LT(builder.percentDone(), 100);
    SummaryBuilder dropped(std::make_unique<RampReader>(400'000'000));
  }
  // A whole pass over the frames would take seconds.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

TEST(SummaryBuilder, AStoppedBuildGoesOnFromWhereItStopped) {
  SummaryBuilder builder(std::make_unique<RampReader>(20'000'000));
  builder.cancel();
  const bool stoppedShort = !builder.complete();
  EXPECT_EQ(builder.resume(), stoppedShort);
  waitFor(builder);
  ASSERT_TRUE(builder.complete());
  EXPECT_EQ(builder.summary()->peakOf(0, 0, 20'000'000), (Peak{0, 0.999f}));
  EXPECT_FALSE(builder.resume());
}

}  // namespace
}  // namespace delvix::wave
