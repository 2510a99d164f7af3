#include "wave/peak_summary.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <span>

namespace delvix::wave {

namespace {

// A summary takes at most this much memory: the frames beyond what it holds are left out (and drawn as not
// summarised) rather than allocating without bound for a file of millions of channels or a header that
// lies. 512 MiB hold 16-bit stereo data of 32 GiB.
constexpr std::uint64_t largestSummaryBytes = std::uint64_t{512} << 20;
// Frames read from the reader at once, at most (fewer with many channels: the buffer stays small enough for the cache).
constexpr std::size_t samplesAtOnce = std::size_t{1} << 16;
// How often the build reports its progress, in frames.
constexpr std::uint64_t framesPerReport = std::uint64_t{1} << 18;

constexpr Peak nothingYet{std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()};

void merge(Peak& into, const Peak& more) {
  into.low = std::min(into.low, more.low);
  into.high = std::max(into.high, more.high);
}

std::uint64_t blocksOf(std::uint64_t frames, std::uint64_t blockFrames) {
  return frames / blockFrames + (frames % blockFrames != 0 ? 1 : 0);
}

std::uint64_t summaryBytes(std::uint64_t channels, std::uint64_t frames) {
  return (blocksOf(frames, PeakSummary::fineFrames) + blocksOf(frames, PeakSummary::coarseFrames)) * channels *
         sizeof(Peak);
}

// The most frames whose summary fits the memory allowed.
std::uint64_t framesWithin(std::uint64_t channels, std::uint64_t frames) {
  if (channels == 0) return 0;
  if (summaryBytes(channels, frames) <= largestSummaryBytes) return frames;
  // Whole coarse blocks, each taking its fine blocks and itself.
  const std::uint64_t perCoarseBlock =
      (PeakSummary::coarseFrames / PeakSummary::fineFrames + 1) * channels * sizeof(Peak);
  return largestSummaryBytes / perCoarseBlock * PeakSummary::coarseFrames;
}

// Four floats compared at once: the compiler turns the comparisons of such vectors into vector instructions,
// which it does not do for a loop of std::min over floats (NaN and -0 rules; the readers give no NaN).
using FourFloats = float __attribute__((vector_size(16)));
constexpr std::size_t fours = 4;  // 16 lanes: whole frames of 1, 2, 4, 8 or 16 channels

// The lowest and highest sample of each channel of `frames` interleaved frames, into `peaks`.
void peaksOfFrames(const float* samples, std::size_t frames, std::span<Peak> peaks) {
  const std::size_t channels = peaks.size();
  constexpr std::size_t lanes = fours * 4;
  std::size_t frame = 0;
  std::ranges::fill(peaks, nothingYet);
  if (lanes % channels == 0 && frames * channels >= lanes) {
    // Lane i always holds channel i mod channels.
    std::array<FourFloats, fours> low, high;
    low.fill(FourFloats{} + nothingYet.low);
    high.fill(FourFloats{} + nothingYet.high);
    const std::size_t whole = frames * channels / lanes * lanes;
    for (std::size_t i = 0; i < whole; i += lanes)
      for (std::size_t k = 0; k < fours; ++k) {
        FourFloats four;
        std::memcpy(&four, samples + i + 4 * k, sizeof four);
        low[k] = four < low[k] ? four : low[k];
        high[k] = four > high[k] ? four : high[k];
      }
    for (std::size_t lane = 0; lane < lanes; ++lane)
      merge(peaks[lane % channels], {low[lane / 4][lane % 4], high[lane / 4][lane % 4]});
    frame = whole / channels;
  }
  for (; frame < frames; ++frame)
    for (std::size_t c = 0; c < channels; ++c) {
      const float sample = samples[frame * channels + c];
      merge(peaks[c], {sample, sample});
    }
}

}  // namespace

PeakSummary::PeakSummary(int channels, std::uint64_t frames)
    : channels_(std::max(channels, 0)), frames_(framesWithin(static_cast<std::uint64_t>(channels_), frames)) {
  const auto count = static_cast<std::size_t>(channels_);
  fine_.resize(static_cast<std::size_t>(blocksOf(frames_, fineFrames)) * count);
  coarse_.resize(static_cast<std::size_t>(blocksOf(frames_, coarseFrames)) * count);
}

bool PeakSummary::build(SampleReader& reader, const std::function<bool(std::uint64_t framesDone)>& goOn) {
  std::uint64_t done = framesDone();
  if (done >= frames_) return true;
  if (reader.channels() != channels_) return false;
  const auto channels = static_cast<std::size_t>(channels_);
  const std::uint64_t step =
      std::clamp<std::uint64_t>(samplesAtOnce / channels / fineFrames * fineFrames, fineFrames, coarseFrames);
  std::vector<float> buffer(static_cast<std::size_t>(std::min(step, frames_ - done)) * channels);

  // The coarse block under way, from the fine blocks already done in it.
  std::vector<Peak> coarse(channels, nothingYet);
  for (std::uint64_t block = done / coarseFrames * coarseFrames / fineFrames; block < done / fineFrames; ++block)
    for (std::size_t c = 0; c < channels; ++c) merge(coarse[c], fine_[block * channels + c]);

  std::uint64_t sinceReport = 0;
  while (done < frames_) {
    const std::uint64_t wanted = std::min(step, frames_ - done);
    const std::size_t got = reader.read(done, std::span(buffer).first(static_cast<std::size_t>(wanted) * channels));
    // Only whole fine blocks count, but for the last one.
    const std::uint64_t usable = done + got >= frames_ ? frames_ - done : got / fineFrames * fineFrames;
    for (std::uint64_t start = 0; start < usable; start += fineFrames) {
      const std::uint64_t count = std::min(fineFrames, usable - start);
      const std::uint64_t block = (done + start) / fineFrames;
      const auto peaks = std::span(fine_).subspan(static_cast<std::size_t>(block) * channels, channels);
      peaksOfFrames(buffer.data() + start * channels, static_cast<std::size_t>(count), peaks);
      for (std::size_t c = 0; c < channels; ++c) merge(coarse[c], peaks[c]);
      const std::uint64_t end = done + start + count;
      if (end % coarseFrames == 0 || end == frames_) {
        std::ranges::copy(coarse, coarse_.begin() + static_cast<std::ptrdiff_t>((end - 1) / coarseFrames * channels));
        std::ranges::fill(coarse, nothingYet);
      }
    }
    reader.forget(done, done + usable);
    done += usable;
    done_.store(done, std::memory_order_release);
    if (usable < wanted) return false;
    sinceReport += usable;
    if (sinceReport >= framesPerReport) {
      sinceReport = 0;
      if (!goOn(done)) return done >= frames_;
    }
  }
  return true;
}

std::optional<Peak> PeakSummary::peakOf(int channel, std::uint64_t first, std::uint64_t end) const {
  end = std::min(end, frames_);
  if (channel < 0 || channel >= channels_ || first >= end || end > framesDone()) return std::nullopt;
  const auto channels = static_cast<std::uint64_t>(channels_);
  const auto index = static_cast<std::uint64_t>(channel);
  constexpr std::uint64_t finePerCoarse = coarseFrames / fineFrames;
  const std::uint64_t fineFirst = first / fineFrames, fineEnd = blocksOf(end, fineFrames);
  const std::uint64_t coarseFirst = blocksOf(fineFirst, finePerCoarse);
  // The last coarse block may be short: it lies inside when the stretch reaches the last frame.
  const std::uint64_t coarseEnd = end == frames_ ? blocksOf(fineEnd, finePerCoarse) : fineEnd / finePerCoarse;
  Peak peak = nothingYet;
  auto mergeFine = [&](std::uint64_t from, std::uint64_t to) {
    for (std::uint64_t block = from; block < to; ++block) merge(peak, fine_[block * channels + index]);
  };
  if (coarseFirst < coarseEnd) {
    mergeFine(fineFirst, coarseFirst * finePerCoarse);
    for (std::uint64_t block = coarseFirst; block < coarseEnd; ++block) merge(peak, coarse_[block * channels + index]);
    mergeFine(std::min(coarseEnd * finePerCoarse, fineEnd), fineEnd);
  } else {
    mergeFine(fineFirst, fineEnd);
  }
  return peak;
}

}  // namespace delvix::wave
