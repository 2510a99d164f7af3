#pragma once

#include <QWidget>
#include <optional>
#include <utility>
#include <vector>

#include "wave/peak_summary.h"

namespace delvix::app {

// A strip of the whole wave, every channel together, with the part the boxes show marked. A click or a drag
// asks for the view to be centred where the mouse is.
class WaveOverview : public QWidget {
  Q_OBJECT

 public:
  explicit WaveOverview(QWidget* parent = nullptr);

  void setPeaks(std::vector<std::optional<wave::Peak>> peaks);
  // The columns in view, [from, to); from == to for none.
  void setMark(std::pair<int, int> mark);
  std::pair<int, int> mark() const { return mark_; }

 signals:
  void centreRequested(int column);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  std::vector<std::optional<wave::Peak>> peaks_;
  std::pair<int, int> mark_{0, 0};
};

}  // namespace delvix::app
