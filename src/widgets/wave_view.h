#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "wave/sample_reader.h"
#include "wave/summary_builder.h"
#include "wave/view_state.h"

class QLabel;
class QScrollArea;
class QScrollBar;
class QTimer;
class QToolButton;
class QVBoxLayout;

namespace delvix::app {

class WaveformBox;
class WaveOverview;

// The wave of a file: a box for each channel (stacked, with a scroll bar when they do not fit), each under a
// header with its name and its play, stop and save buttons; an overview strip of the whole file; a scroll
// bar through time. The boxes draw from the samples at the closest zooms and from a peak summary built in the
// background at the others, and fill in as it grows. Keys: Home, End, Page Up/Down, the arrows, Escape (stops
// the summary); Ctrl+wheel zooms around the mouse, the wheel scrolls.
class WaveView : public QWidget {
  Q_OBJECT

 public:
  struct ChannelButtons {
    QToolButton* play = nullptr;
    QToolButton* stop = nullptr;
    QToolButton* save = nullptr;
  };

  explicit WaveView(QWidget* parent = nullptr);
  ~WaveView() override;

  // A wave to show: `reader` draws on this thread, `summaryReader` (the same samples) feeds the summary's
  // thread. One box for each name. The view starts at the closest zoom from the start, or keeps its place
  // and zoom (as far as the new length allows) when `keepPlace`.
  void showSamples(std::unique_ptr<wave::SampleReader> reader, std::unique_ptr<wave::SampleReader> summaryReader,
                   const std::vector<std::string>& names, bool keepPlace = false);
  // One box with `text` in place of a wave (empty for green only); the summary stops.
  void showMessage(const QString& text);

  const wave::ViewState& state() const { return state_; }
  int channelCount() const { return static_cast<int>(channels_.size()); }
  ChannelButtons buttons(int channel) const;
  QString channelName(int channel) const;

  void setRedLines(std::optional<std::uint64_t> first, std::optional<std::uint64_t> second);
  // The play cursor on frame `frame`, or none; a cursor that runs past the boxes takes the view a page on.
  void setPlayCursor(std::optional<std::uint64_t> frame);

  bool summarising() const;
  void cancelSummary();
  // Goes on summarising from where the summary was stopped.
  void resumeSummary();

  // Zooms around the boxes' middle: `steps` halvings of the frames per column (negative: doublings).
  void zoom(int steps);
  void showAll();
  void amplify();
  void soften();

 signals:
  void frameClicked(std::uint64_t frame);
  // The first frame shown, the zoom or the amplitude changed.
  void viewChanged();
  void playClicked(int channel);
  void stopClicked(int channel);
  void saveClicked(int channel);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The summary's button: Cancel while it runs, Resume once it was stopped short.
  void setCancelOffersResume(bool resume);
  struct Channel {
    QWidget* panel = nullptr;
    WaveformBox* box = nullptr;
    QString name;
    ChannelButtons buttons;
  };

  void startSummary();
  void stopSummary();
  void setChannels(const std::vector<QString>& names);
  // After the view moved: the boxes, the marks, the scroll bar and the overview's mark, and viewChanged.
  void moved();
  void refreshBoxes();
  void refreshMarks();
  void refreshOverview();
  void pollSummary();
  const wave::PeakSummary* summary() const;

  wave::ViewState state_;
  std::unique_ptr<wave::SampleReader> reader_;
  std::unique_ptr<wave::SampleReader> summaryReader_;  // until the summary starts
  std::unique_ptr<wave::SummaryBuilder> builder_;
  std::uint64_t summarisedWhenDrawn_ = 0;
  std::uint64_t summarisedInOverview_ = 0;
  std::optional<std::uint64_t> firstLine_, secondLine_, cursor_;
  bool quitAfterPaint_ = false;

  QScrollArea* scrollArea_ = nullptr;
  QWidget* list_ = nullptr;
  QVBoxLayout* listLayout_ = nullptr;
  std::vector<Channel> channels_;
  WaveOverview* overview_ = nullptr;
  QScrollBar* scrollBar_ = nullptr;
  QLabel* progress_ = nullptr;
  QToolButton* cancel_ = nullptr;
  QTimer* poll_ = nullptr;
};

}  // namespace delvix::app
