#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "wave/track_scale.h"
#include "wave/view_columns.h"

namespace delvix::wave {

// Where the wave view stands in a file of `frames` sample frames: the first frame shown and how many frames one
// pixel column covers, over boxes `width` columns wide. Zooming keeps the frame under the mouse where it is;
// scrolling never leaves the last frame short of the last column; the mouse maps to the frame under it.
class ViewState {
 public:
  // The amplitude zoom: 1 to 64 times, doubling.
  static constexpr float largestGain = 64;

  // A new file: the closest zoom (one frame per column) from the start.
  void reset(std::uint64_t frames);
  // The boxes' width changed: the first frame stays where it can.
  void setWidth(int columns);

  std::uint64_t frames() const { return frames_; }
  int width() const { return width_; }
  std::uint64_t first() const { return first_; }
  double framesPerColumn() const { return framesPerColumn_; }
  ViewSpan span() const { return {first_, framesPerColumn_, width_}; }
  // The frames the boxes cover (the last column may reach past the end).
  std::uint64_t visibleFrames() const;
  // The first frame that shows the file's end in the last column; 0 when everything fits.
  std::uint64_t lastFirst() const;

  // Frames per column that shows the whole file: at least 1.
  double widestFramesPerColumn() const;
  bool canZoomIn() const { return framesPerColumn_ > 1; }
  bool canZoomOut() const { return framesPerColumn_ < widestFramesPerColumn(); }
  // Halves or doubles the frames per column (`steps` times, up to the limits), keeping the frame under
  // `column` under it.
  void zoom(int steps, int column);
  void showAll();
  // Back to a zoom and place of before, as far as the file and the width allow.
  void restore(double framesPerColumn, std::uint64_t first);

  void scrollTo(std::uint64_t first);
  // By whole columns, forwards (positive) or back.
  void scrollColumns(std::int64_t columns);
  void pageForward() { scrollColumns(width_); }
  void pageBack() { scrollColumns(-static_cast<std::int64_t>(width_)); }
  void home() { scrollTo(0); }
  void end() { scrollTo(lastFirst()); }

  // The frame under column `column`; nullopt outside the boxes or past the last frame.
  std::optional<std::uint64_t> frameAt(int column) const;
  // The column that shows frame `frame`; nullopt when it is not in view.
  std::optional<int> columnOf(std::uint64_t frame) const;

  // The scroll bar, in steps of whole columns (coarser when an int cannot count them).
  TrackScale scrollScale() const;
  int scrollPosition() const;
  void scrollToPosition(int position);

  // The part of an overview strip `overviewWidth` columns wide (the whole file) that is in view: [from, to).
  std::pair<int, int> overviewMark(int overviewWidth) const;
  // Puts the view's middle on overview column `column`.
  void centreOnOverview(int column, int overviewWidth);

  float gain() const { return gain_; }
  bool canAmplify() const { return gain_ < largestGain; }
  bool canSoften() const { return gain_ > 1; }
  void amplify();
  void soften();

 private:
  std::uint64_t columnsOfFile() const;

  std::uint64_t frames_ = 0;
  int width_ = 0;
  std::uint64_t first_ = 0;
  double framesPerColumn_ = 1;
  float gain_ = 1;
};

}  // namespace delvix::wave
