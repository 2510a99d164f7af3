#include "wave/sample_selection.h"

#include <algorithm>

namespace delvix::wave {

bool SampleSelection::click(std::uint64_t frame, std::uint64_t frameCount) {
  if (frame >= frameCount) return false;
  if (!first_ || second_) {
    first_ = frame;
    second_.reset();
  } else if (frame != *first_) {
    second_ = frame;
  }
  return true;
}

std::optional<std::pair<std::uint64_t, std::uint64_t>> SampleSelection::range() const {
  if (!complete()) return std::nullopt;
  return std::minmax(*first_, *second_);
}

std::string SampleSelection::countText() const {
  const auto frames = range();
  return frames ? std::to_string(frames->second - frames->first + 1) : "0";
}

}  // namespace delvix::wave
