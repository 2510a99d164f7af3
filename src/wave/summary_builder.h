#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "wave/peak_summary.h"
#include "wave/sample_reader.h"

namespace delvix::wave {

// A peak summary built on a thread of its own, from a reader that serves that thread alone; even its memory is
// taken there. The summary may be read from other threads while it grows. The thread never outlives the
// builder: cancel() and the destructor stop it and wait for it.
class SummaryBuilder {
 public:
  explicit SummaryBuilder(std::unique_ptr<SampleReader> reader);
  ~SummaryBuilder();
  SummaryBuilder(const SummaryBuilder&) = delete;
  SummaryBuilder& operator=(const SummaryBuilder&) = delete;

  // The summary as far as it is built; null until the thread has made it.
  const PeakSummary* summary() const { return published_.load(std::memory_order_acquire); }
  // Stops the build where it is, and waits for the thread: what is done stays readable.
  void cancel();
  // Goes on from where a cancelled build stopped, on a new thread; false when there is nothing to go on with.
  bool resume();
  // The thread has returned: through, cancelled or stopped by the reader.
  bool finished() const { return finished_.load(std::memory_order_acquire); }
  bool complete() const;
  // Whole percent of the frames summarised.
  int percentDone() const;

 private:
  void build();

  std::unique_ptr<SampleReader> reader_;
  std::uint64_t frames_;
  std::unique_ptr<PeakSummary> summary_;
  std::atomic<const PeakSummary*> published_{nullptr};
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

}  // namespace delvix::wave
