#pragma once

#include <cstdint>
#include <vector>

#include "wave/peak_summary.h"
#include "wave/sample_reader.h"

namespace delvix::wave {

// What the channel boxes of the wave view show: `width` pixel columns from sample frame `first`, each column
// `framesPerColumn` frames wide (1 = one frame per column, the closest view; frames / width shows all).
struct ViewSpan {
  std::uint64_t first = 0;
  double framesPerColumn = 1;
  int width = 0;
};

// For every channel and column, the lowest and highest sample of the frames the column covers (channel after
// channel, `width` columns each); a column past the last frame, or not yet summarised, is nullopt. Narrow
// columns read the samples from `reader` (at most a few hundred thousand frames), wide ones come from the summary.
std::vector<std::optional<Peak>> columnPeaks(SampleReader& reader, const PeakSummary* summary, const ViewSpan& span);

// The pixel row of sample value `value` (-1 to 1) in a box `height` rows high, with the amplitude made `gain`
// times larger: 1 on the top row, -1 on the bottom one, 0 in the middle; beyond the box it stays on the edge.
int rowOf(float value, int height, float gain = 1.0f);

}  // namespace delvix::wave
