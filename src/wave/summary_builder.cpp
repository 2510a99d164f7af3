#include "wave/summary_builder.h"

namespace delvix::wave {

SummaryBuilder::SummaryBuilder(std::unique_ptr<SampleReader> reader)
    : reader_(std::move(reader)), summary_(reader_->channels(), reader_->frames()) {
  thread_ = std::thread([this] {
    summary_.build(*reader_, [this](std::uint64_t) { return !stop_.load(std::memory_order_relaxed); });
    finished_.store(true, std::memory_order_release);
  });
}

SummaryBuilder::~SummaryBuilder() { cancel(); }

void SummaryBuilder::cancel() {
  stop_.store(true, std::memory_order_relaxed);
  if (thread_.joinable()) thread_.join();
}

int SummaryBuilder::percentDone() const {
  if (summary_.frames() == 0) return 100;
  return static_cast<int>(summary_.framesDone() * 100 / summary_.frames());
}

}  // namespace delvix::wave
