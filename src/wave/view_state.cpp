#include "wave/view_state.h"

#include <algorithm>
#include <cmath>

namespace delvix::wave {

namespace {

// Frames as a double hold exactly up to 2^53, far beyond any file; beyond that the view is a column off.
std::uint64_t framesOf(double value) {
  constexpr double largest = 1.8e19;
  return value <= 0 ? 0 : static_cast<std::uint64_t>(std::min(value, largest));
}

}  // namespace

void ViewState::reset(std::uint64_t frames) {
  frames_ = frames;
  first_ = 0;
  framesPerColumn_ = 1;
}

void ViewState::setWidth(int columns) {
  width_ = std::max(columns, 0);
  framesPerColumn_ = std::clamp(framesPerColumn_, 1.0, widestFramesPerColumn());
  first_ = std::min(first_, lastFirst());
}

std::uint64_t ViewState::visibleFrames() const { return framesOf(std::ceil(width_ * framesPerColumn_)); }

std::uint64_t ViewState::lastFirst() const {
  const std::uint64_t visible = visibleFrames();
  return frames_ > visible ? frames_ - visible : 0;
}

double ViewState::widestFramesPerColumn() const {
  if (width_ <= 0) return 1;
  return std::max(1.0, static_cast<double>(frames_) / width_);
}

void ViewState::zoom(int steps, int column) {
  const double anchor = static_cast<double>(first_) + column * framesPerColumn_;
  framesPerColumn_ = std::clamp(framesPerColumn_ * std::ldexp(1.0, -steps), 1.0, widestFramesPerColumn());
  // Near the limit the anchor may not stay put: the view keeps to the file instead.
  scrollTo(framesOf(std::round(anchor - column * framesPerColumn_)));
}

void ViewState::showAll() {
  framesPerColumn_ = widestFramesPerColumn();
  first_ = 0;
}

void ViewState::restore(double framesPerColumn, std::uint64_t first) {
  framesPerColumn_ = std::clamp(framesPerColumn, 1.0, widestFramesPerColumn());
  scrollTo(first);
}

void ViewState::scrollTo(std::uint64_t first) { first_ = std::min(first, lastFirst()); }

void ViewState::scrollColumns(std::int64_t columns) {
  const double target = static_cast<double>(first_) + static_cast<double>(columns) * framesPerColumn_;
  scrollTo(framesOf(std::round(target)));
}

std::optional<std::uint64_t> ViewState::frameAt(int column) const {
  if (column < 0 || column >= width_) return std::nullopt;
  const std::uint64_t frame = first_ + framesOf(std::floor(column * framesPerColumn_));
  if (frame >= frames_) return std::nullopt;
  return frame;
}

std::optional<int> ViewState::columnOf(std::uint64_t frame) const {
  if (frame < first_ || frame >= frames_) return std::nullopt;
  const double column = std::floor(static_cast<double>(frame - first_) / framesPerColumn_);
  if (column >= width_) return std::nullopt;
  return static_cast<int>(column);
}

std::uint64_t ViewState::columnsOfFile() const {
  return framesOf(std::ceil(static_cast<double>(frames_) / framesPerColumn_));
}

TrackScale ViewState::scrollScale() const { return trackScale(columnsOfFile(), width_); }

int ViewState::scrollPosition() const {
  const TrackScale scale = scrollScale();
  if (first_ >= lastFirst()) return scale.maximum;
  const double position = static_cast<double>(first_) / framesPerColumn_ / static_cast<double>(scale.step);
  return std::min(scale.maximum, static_cast<int>(std::round(position)));
}

void ViewState::scrollToPosition(int position) {
  const TrackScale scale = scrollScale();
  if (position >= scale.maximum) return end();
  const double column = static_cast<double>(scale.firstFrameAt(position));
  scrollTo(framesOf(std::round(column * framesPerColumn_)));
}

std::pair<int, int> ViewState::overviewMark(int overviewWidth) const {
  if (frames_ == 0 || overviewWidth <= 0) return {0, 0};
  const double perFrame = static_cast<double>(overviewWidth) / static_cast<double>(frames_);
  const std::uint64_t end = std::min(frames_, first_ + visibleFrames());
  const int from =
      std::clamp(static_cast<int>(std::floor(static_cast<double>(first_) * perFrame)), 0, overviewWidth - 1);
  const int to = std::clamp(static_cast<int>(std::ceil(static_cast<double>(end) * perFrame)), from + 1, overviewWidth);
  return {from, to};
}

void ViewState::centreOnOverview(int column, int overviewWidth) {
  if (overviewWidth <= 0) return;
  const double centre = (column + 0.5) * static_cast<double>(frames_) / overviewWidth;
  scrollTo(framesOf(std::round(centre - static_cast<double>(visibleFrames()) / 2)));
}

void ViewState::amplify() { gain_ = std::min(gain_ * 2, largestGain); }
void ViewState::soften() { gain_ = std::max(gain_ / 2, 1.0f); }

}  // namespace delvix::wave
