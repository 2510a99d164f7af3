#include "wave/view_columns.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace delvix::wave {

namespace {

// Narrower columns than a fine block of the summary are drawn from the samples themselves.
constexpr double narrowestSummarised = static_cast<double>(PeakSummary::fineFrames);
// Frames read at once for narrow columns (fewer with many channels).
constexpr std::size_t samplesAtOnce = std::size_t{1} << 18;

// The frames [first, end) that column `x` covers: at least one.
struct ColumnFrames {
  std::uint64_t first;
  std::uint64_t end;
};

std::uint64_t saturatingSum(std::uint64_t a, std::uint64_t b) {
  return a > std::numeric_limits<std::uint64_t>::max() - b ? std::numeric_limits<std::uint64_t>::max() : a + b;
}

ColumnFrames framesOfColumn(const ViewSpan& span, int x) {
  // Offsets past what 64 bits count (a span far beyond any file) stop there.
  auto offset = [&](int column) {
    return static_cast<std::uint64_t>(std::clamp(std::floor(column * span.framesPerColumn), 0.0, 9.0e18));
  };
  const std::uint64_t first = saturatingSum(span.first, offset(x));
  return {first, std::max(saturatingSum(first, 1), saturatingSum(span.first, offset(x + 1)))};
}

}  // namespace

std::vector<std::optional<Peak>> columnPeaks(SampleReader& reader, const PeakSummary* summary, const ViewSpan& span) {
  const int channels = std::max(reader.channels(), 0);
  const int width = std::max(span.width, 0);
  std::vector<std::optional<Peak>> peaks(static_cast<std::size_t>(channels) * static_cast<std::size_t>(width));
  const std::uint64_t frames = reader.frames();
  if (peaks.empty() || !(span.framesPerColumn > 0)) return peaks;
  auto put = [&](int channel, int x, const Peak& peak) {
    peaks[static_cast<std::size_t>(channel) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = peak;
  };

  if (span.framesPerColumn >= narrowestSummarised) {
    if (!summary || summary->channels() != channels) return peaks;
    for (int x = 0; x < width; ++x) {
      const ColumnFrames column = framesOfColumn(span, x);
      if (column.first >= frames) break;
      for (int channel = 0; channel < channels; ++channel)
        if (auto peak = summary->peakOf(channel, column.first, column.end)) put(channel, x, *peak);
    }
    return peaks;
  }

  // Narrow columns: the frames they cover (at most width x 256) are read in order, a buffer's worth at a time.
  const auto count = static_cast<std::size_t>(channels);
  const std::uint64_t needed = std::min(framesOfColumn(span, width - 1).end, frames) - std::min(span.first, frames);
  const auto framesAtOnce = static_cast<std::size_t>(std::clamp<std::uint64_t>(needed, 1, samplesAtOnce / count + 1));
  std::vector<float> buffer;
  std::uint64_t bufferFirst = 0, bufferEnd = 0;
  std::vector<Peak> peak(count);
  for (int x = 0; x < width; ++x) {
    const ColumnFrames column = framesOfColumn(span, x);
    if (column.first >= frames) break;
    const std::uint64_t end = std::min(column.end, frames);
    std::ranges::fill(peak, Peak{std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()});
    std::uint64_t frame = column.first;
    for (; frame < end; ++frame) {
      if (frame < bufferFirst || frame >= bufferEnd) {
        if (buffer.empty()) buffer.resize(framesAtOnce * count);
        bufferFirst = frame;
        bufferEnd = frame + reader.read(frame, buffer);
        if (bufferEnd == frame) break;  // nothing more can be read
      }
      const float* sample = buffer.data() + (frame - bufferFirst) * count;
      for (std::size_t c = 0; c < count; ++c) {
        peak[c].low = std::min(peak[c].low, sample[c]);
        peak[c].high = std::max(peak[c].high, sample[c]);
      }
    }
    if (frame < end) break;  // the reader gave out: this column and the rest stay empty
    for (int channel = 0; channel < channels; ++channel) put(channel, x, peak[static_cast<std::size_t>(channel)]);
  }
  return peaks;
}

int rowOf(float value, int height, float gain) {
  if (height <= 1) return 0;
  const float scaled = value * gain;
  const float clamped = std::isnan(scaled) ? 0.0f : std::clamp(scaled, -1.0f, 1.0f);
  return static_cast<int>(std::lround((1.0f - clamped) * 0.5f * static_cast<float>(height - 1)));
}

}  // namespace delvix::wave
