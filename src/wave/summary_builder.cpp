#include "wave/summary_builder.h"

namespace delvix::wave {

SummaryBuilder::SummaryBuilder(std::unique_ptr<SampleReader> reader)
    : reader_(std::move(reader)), frames_(reader_->frames()) {
  thread_ = std::thread([this] {
    summary_ = std::make_unique<PeakSummary>(reader_->channels(), frames_);
    published_.store(summary_.get(), std::memory_order_release);
    build();
  });
}

void SummaryBuilder::build() {
  summary_->build(*reader_, [this](std::uint64_t) { return !stop_.load(std::memory_order_relaxed); });
  finished_.store(true, std::memory_order_release);
}

bool SummaryBuilder::resume() {
  if (!finished() || complete() || !summary_) return false;
  if (thread_.joinable()) thread_.join();
  stop_.store(false, std::memory_order_relaxed);
  finished_.store(false, std::memory_order_release);
  thread_ = std::thread([this] { build(); });
  return true;
}

SummaryBuilder::~SummaryBuilder() { cancel(); }

void SummaryBuilder::cancel() {
  stop_.store(true, std::memory_order_relaxed);
  if (thread_.joinable()) thread_.join();
}

bool SummaryBuilder::complete() const {
  const PeakSummary* built = summary();
  return built && built->complete();
}

int SummaryBuilder::percentDone() const {
  const PeakSummary* built = summary();
  if (frames_ == 0) return 100;
  if (!built) return 0;
  return static_cast<int>(built->framesDone() * 100 / frames_);
}

}  // namespace delvix::wave
