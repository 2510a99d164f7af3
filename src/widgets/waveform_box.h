#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>

#include "formats/wave_channels.h"

namespace delvix::app {

// One channel of a wave file, one sample frame per pixel column from the first frame shown: black on dark
// green, with the red lines of the selection. The points are worked out for the box's own height as it is
// painted, so scrolling and resizing convert no more samples than the box shows.
class WaveformBox : public QWidget {
  Q_OBJECT

 public:
  explicit WaveformBox(QWidget* parent = nullptr);

  // The channel to draw (it must stay alive while it is shown), or null for green only.
  void setChannel(const formats::ChannelView* channel);
  void setFirstFrame(std::uint64_t frame);
  void setRedLines(std::optional<std::uint64_t> first, std::optional<std::uint64_t> second);

 signals:
  // The left button was released over column `x` of the box.
  void columnClicked(int x);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  const formats::ChannelView* channel_ = nullptr;
  std::uint64_t firstFrame_ = 0;
  std::optional<std::uint64_t> firstLine_, secondLine_;
};

}  // namespace delvix::app
