#include "widgets/waveform_box.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QWheelEvent>

#include "wave/view_columns.h"

namespace delvix::app {

namespace {

const QColor background(0, 128, 0);
const QColor redLine(255, 0, 0);
const QColor playCursor(255, 255, 0);
constexpr int notch = 120;

}  // namespace

WaveformBox::WaveformBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(20, 20);
}

void WaveformBox::setPeaks(std::vector<std::optional<wave::Peak>> peaks, bool joined, float gain) {
  peaks_ = std::move(peaks);
  joined_ = joined;
  gain_ = gain;
  update();
}

void WaveformBox::setMarks(std::optional<int> firstLine, std::optional<int> secondLine, std::optional<int> cursor) {
  if (firstLine == firstLine_ && secondLine == secondLine_ && cursor == cursor_) return;
  firstLine_ = firstLine, secondLine_ = secondLine, cursor_ = cursor;
  update();
}

void WaveformBox::setMessage(const QString& text) {
  message_ = text;
  update();
}

void WaveformBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), background);
  if (!message_.isEmpty()) {
    painter.setPen(Qt::white);
    painter.drawText(rect().adjusted(8, 4, -8, -4), Qt::AlignCenter | Qt::TextWordWrap, message_);
    return;
  }
  const int h = height();
  const int columns = std::min(width(), static_cast<int>(peaks_.size()));
  painter.setPen(Qt::black);
  if (joined_) {
    QPolygon line;
    line.reserve(columns);
    for (int x = 0; x < columns; ++x) {
      if (!peaks_[static_cast<std::size_t>(x)]) {
        if (line.size() > 1) painter.drawPolyline(line);
        line.clear();
        continue;
      }
      line.append(QPoint(x, wave::rowOf(peaks_[static_cast<std::size_t>(x)]->high, h, gain_)));
    }
    if (line.size() > 1) painter.drawPolyline(line);
    if (line.size() == 1) painter.drawPoint(line.front());
  } else {
    // Each stroke reaches the one before it, so that a steep wave is drawn as one trace.
    std::optional<wave::Peak> before;
    for (int x = 0; x < columns; ++x) {
      const auto& peak = peaks_[static_cast<std::size_t>(x)];
      if (!peak) {
        before.reset();
        continue;
      }
      const float high = before ? std::max(peak->high, before->low) : peak->high;
      const float low = before ? std::min(peak->low, before->high) : peak->low;
      painter.drawLine(x, wave::rowOf(high, h, gain_), x, wave::rowOf(low, h, gain_));
      before = peak;
    }
  }
  painter.setPen(redLine);
  for (const auto& line : {firstLine_, secondLine_})
    if (line) painter.drawLine(*line, 0, *line, h);
  if (cursor_) {
    painter.setPen(playCursor);
    painter.drawLine(*cursor_, 0, *cursor_, h);
  }
}

void WaveformBox::mouseReleaseEvent(QMouseEvent* event) {
  // Qt gives the release to the box where the button went down, wherever the mouse is now.
  const int x = event->position().toPoint().x();
  if (event->button() == Qt::LeftButton && x >= 0 && x < width()) emit columnClicked(x);
}

void WaveformBox::wheelEvent(QWheelEvent* event) {
  const QPoint angle = event->angleDelta();
  wheelAngle_ += angle.y() != 0 ? angle.y() : angle.x();
  const int steps = wheelAngle_ / notch;
  wheelAngle_ -= steps * notch;
  if (steps != 0)
    emit wheelTurned(steps, event->position().toPoint().x(), event->modifiers().testFlag(Qt::ControlModifier));
  event->accept();
}

}  // namespace delvix::app
