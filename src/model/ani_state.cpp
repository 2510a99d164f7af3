#include "model/ani_state.h"

#include <algorithm>

namespace delvix::model {

std::optional<std::size_t> AniState::frameOfStep(std::size_t step) const {
  std::size_t frame = 0;
  if (step < sequence.size())
    frame = sequence[step];
  else if (framesRead != 0)
    frame = step % framesRead;
  else
    return std::nullopt;
  if (frame >= framesRead) return std::nullopt;
  return frame;
}

std::uint32_t AniState::stepDelay(std::size_t step) const {
  std::size_t entry = step;
  if (!ratesPerStep()) {
    auto frame = frameOfStep(step);
    if (!frame) return header.displayRate;
    entry = *frame;
  }
  return entry < rates.size() ? rates[entry] : header.displayRate;
}

std::vector<std::vector<std::uint32_t>> AniState::frameDelays(std::size_t frames) const {
  std::vector<std::vector<std::uint32_t>> delays(frames);
  if (!ratesPerStep()) {
    for (std::size_t frame = 0; frame < frames; ++frame)
      delays[frame].push_back(frame < rates.size() ? rates[frame] : header.displayRate);
    return delays;
  }
  // Past both tables every step shows the frames in order for the display rate, so one more round of
  // the frames there finds every delay there is.
  const std::size_t steps = std::min<std::size_t>(stepCount, std::max(sequence.size(), rates.size()) + framesRead);
  for (std::size_t step = 0; step < steps; ++step) {
    auto frame = frameOfStep(step);
    if (!frame || *frame >= frames) continue;
    std::vector<std::uint32_t>& shown = delays[*frame];
    const std::uint32_t delay = stepDelay(step);
    if (shown.size() < maxDelaysPerFrame && std::find(shown.begin(), shown.end(), delay) == shown.end())
      shown.push_back(delay);
  }
  return delays;
}

}  // namespace delvix::model
