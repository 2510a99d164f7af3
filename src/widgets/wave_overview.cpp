#include "widgets/wave_overview.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "wave/view_columns.h"

namespace delvix::app {

WaveOverview::WaveOverview(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedHeight(36);
  setCursor(Qt::PointingHandCursor);
  setToolTip("The whole wave: click or drag to show that part");
}

void WaveOverview::setPeaks(std::vector<std::optional<wave::Peak>> peaks) {
  peaks_ = std::move(peaks);
  update();
}

void WaveOverview::setMark(std::pair<int, int> mark) {
  if (mark == mark_) return;
  mark_ = mark;
  update();
}

void WaveOverview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(0, 96, 0));
  const int h = height();
  const int columns = std::min(width(), static_cast<int>(peaks_.size()));
  painter.setPen(Qt::black);
  for (int x = 0; x < columns; ++x)
    if (const auto& peak = peaks_[static_cast<std::size_t>(x)])
      painter.drawLine(x, wave::rowOf(peak->high, h), x, wave::rowOf(peak->low, h));
  if (mark_.second > mark_.first) {
    const QRect shown(mark_.first, 0, mark_.second - mark_.first, h);
    painter.fillRect(shown, QColor(255, 255, 255, 70));
    painter.setPen(QColor(255, 255, 255));
    painter.drawRect(shown.adjusted(0, 0, -1, -1));
  }
}

void WaveOverview::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit centreRequested(event->position().toPoint().x());
}

void WaveOverview::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton)
    emit centreRequested(std::clamp(event->position().toPoint().x(), 0, std::max(0, width() - 1)));
}

}  // namespace delvix::app
