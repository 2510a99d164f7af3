#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "wave/peak_summary.h"

namespace delvix::app {

// One channel of a wave file as the view gives it, one peak per pixel column: black on dark green, a line
// joining the samples at one frame per column, a stroke from the lowest to the highest sample of each column
// when it covers more; the red lines of the selection and the play cursor; or a message in place of the wave.
class WaveformBox : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString message READ message)

 public:
  explicit WaveformBox(QWidget* parent = nullptr);

  // The peaks of the columns from the left (nullopt: nothing there, or not summarised yet).
  void setPeaks(std::vector<std::optional<wave::Peak>> peaks, bool joined, float gain);
  // The columns of the red lines and of the play cursor, where they are in view.
  void setMarks(std::optional<int> firstLine, std::optional<int> secondLine, std::optional<int> cursor);
  void setMessage(const QString& text);
  const QString& message() const { return message_; }

 signals:
  // The left button was released over column `x` of the box.
  void columnClicked(int x);
  // The wheel over column `x`: `steps` notches away from the user (negative towards), with Ctrl when `zoom`.
  void wheelTurned(int steps, int x, bool zoom);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  std::vector<std::optional<wave::Peak>> peaks_;
  bool joined_ = true;
  float gain_ = 1;
  std::optional<int> firstLine_, secondLine_, cursor_;
  QString message_;
  int wheelAngle_ = 0;  // eighths of a degree turned and not yet a whole notch
};

}  // namespace delvix::app
