#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "wave/sample_reader.h"

namespace delvix::wave {

// The lowest and highest sample of a stretch of one channel, from -1 to 1.
struct Peak {
  float low = 0;
  float high = 0;

  bool operator==(const Peak&) const = default;
};

// The lowest and highest sample of every channel per block of sample frames, at two levels: blocks of 256 and of
// 65 536 frames. Any stretch of a long wave is then drawn from a few thousand numbers. It is filled by one pass
// over a reader, in order from the start, usually on a thread of its own; what is done so far may be read from
// another thread meanwhile. It takes about 1/32 of the memory of 16-bit samples.
class PeakSummary {
 public:
  static constexpr std::uint64_t fineFrames = 256;
  static constexpr std::uint64_t coarseFrames = 65536;

  PeakSummary(int channels, std::uint64_t frames);
  PeakSummary(const PeakSummary&) = delete;
  PeakSummary& operator=(const PeakSummary&) = delete;

  int channels() const { return channels_; }
  std::uint64_t frames() const { return frames_; }
  // Frames summarised so far, from the start; all of them when the build is through.
  std::uint64_t framesDone() const { return done_.load(std::memory_order_acquire); }
  bool complete() const { return framesDone() >= frames_; }

  // Reads every frame from `reader` from where the summary stands, calling `goOn(framesDone)` after every few
  // hundred thousand frames: when it returns false the build stops there (false). Also false when the reader
  // gives out early; the frames done stay.
  bool build(SampleReader& reader, const std::function<bool(std::uint64_t framesDone)>& goOn);

  // The lowest and highest sample of `channel` over frames [first, end), from the coarsest blocks that lie
  // inside; blocks cut by either end count whole. Nullopt when the stretch is empty or not summarised yet.
  std::optional<Peak> peakOf(int channel, std::uint64_t first, std::uint64_t end) const;

 private:
  int channels_;
  std::uint64_t frames_;
  std::vector<Peak> fine_;    // block after block, channel after channel within a block
  std::vector<Peak> coarse_;  // the same for the coarse blocks
  std::atomic<std::uint64_t> done_{0};
};

}  // namespace delvix::wave
