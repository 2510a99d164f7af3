#include "widgets/waveform_box.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

namespace delvix::app {

WaveformBox::WaveformBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(20, 20);
}

void WaveformBox::setChannel(const formats::ChannelView* channel) {
  channel_ = channel && channel->frameCount() > 0 ? channel : nullptr;
  update();
}

void WaveformBox::setFirstFrame(std::uint64_t frame) {
  if (frame == firstFrame_) return;
  firstFrame_ = frame;
  update();
}

void WaveformBox::setRedLines(std::optional<std::uint64_t> first, std::optional<std::uint64_t> second) {
  firstLine_ = first;
  secondLine_ = second;
  update();
}

void WaveformBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(0, 128, 0));
  if (!channel_) return;
  const formats::ChannelPoints points(*channel_, height());
  const std::uint64_t frames = points.size();
  if (firstFrame_ >= frames) return;
  const auto columns =
      static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(width()), frames - firstFrame_));
  QPolygon line(columns);
  for (int x = 0; x < columns; ++x) line.setPoint(x, x, points[firstFrame_ + static_cast<std::uint64_t>(x)]);
  painter.setPen(Qt::black);
  painter.drawPolyline(line);
  painter.setPen(QColor(255, 0, 0));
  for (const auto& redLine : {firstLine_, secondLine_}) {
    if (!redLine || *redLine < firstFrame_ || *redLine - firstFrame_ >= static_cast<std::uint64_t>(width())) continue;
    const int x = static_cast<int>(*redLine - firstFrame_);
    painter.drawLine(x, 0, x, height());
  }
}

void WaveformBox::mouseReleaseEvent(QMouseEvent* event) {
  // Qt gives the release to the box where the button went down, wherever the mouse is now.
  const int x = event->position().toPoint().x();
  if (event->button() == Qt::LeftButton && x >= 0 && x < width()) emit columnClicked(x);
}

}  // namespace delvix::app
