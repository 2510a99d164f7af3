#include "widgets/wave_view.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "wave/view_columns.h"
#include "widgets/pictures.h"
#include "widgets/wave_overview.h"
#include "widgets/waveform_box.h"
#include "widgets/widget_names.h"

namespace delvix::app {

namespace {

constexpr int smallestBoxHeight = 60;
constexpr int pollMilliseconds = 100;
constexpr int summaryDelayMilliseconds = 200;
// The arrows and a notch of the wheel move a tenth of the boxes' width.
constexpr int stepsPerWidth = 10;

// The names the program's parts and tests know the first two channels by, as before there were more.
QString objectNameOf(const char* what, int channel) {
  if (channel < 2) return QString("%1%2").arg(what, channel == 0 ? "Left" : "Right");
  return QString("%1Channel%2").arg(what).arg(channel + 1);
}

QToolButton* headerButton(QWidget* owner, QHBoxLayout* row, const QString& name, const QString& hint,
                          ToolPicture picture) {
  auto* button = new QToolButton(owner);
  button->setObjectName(name);
  button->setToolTip(hint);
  button->setIcon(toolIcon(picture));
  button->setIconSize({16, 16});
  button->setAutoRaise(true);
  button->setEnabled(false);
  row->addWidget(button);
  return button;
}

}  // namespace

WaveView::WaveView(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  quitAfterPaint_ = std::getenv("DELVIX_QUIT_AFTER_WAVE_PAINT") != nullptr;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);

  scrollArea_ = named(new QScrollArea(this), "WaveChannels");
  scrollArea_->setFocusPolicy(Qt::NoFocus);
  scrollArea_->setWidgetResizable(true);
  scrollArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scrollArea_->setFrameShape(QFrame::NoFrame);
  list_ = named(new QWidget, "WaveChannelList");
  listLayout_ = new QVBoxLayout(list_);
  listLayout_->setContentsMargins(0, 0, 0, 0);
  listLayout_->setSpacing(2);
  scrollArea_->setWidget(list_);
  layout->addWidget(scrollArea_, 1);

  overview_ = named(new WaveOverview(this), "WaveOverview");
  overview_->installEventFilter(this);
  connect(overview_, &WaveOverview::centreRequested, this, [this](int column) {
    state_.centreOnOverview(column, overview_->width());
    moved();
  });
  layout->addWidget(overview_);

  scrollBar_ = named(new QScrollBar(Qt::Horizontal, this), "WaveScrollBar");
  scrollBar_->setFocusPolicy(Qt::NoFocus);
  scrollBar_->setEnabled(false);
  connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int position) {
    state_.scrollToPosition(position);
    moved();
  });
  layout->addWidget(scrollBar_);

  auto* row = new QHBoxLayout;
  row->setContentsMargins(0, 0, 0, 0);
  progress_ = named(new QLabel(this), "WaveSummaryProgress");
  cancel_ = named(new QToolButton(this), "WaveSummaryCancel");
  connect(cancel_, &QToolButton::clicked, this, [this] { summarising() ? cancelSummary() : resumeSummary(); });
  row->addWidget(progress_);
  row->addWidget(cancel_);
  row->addStretch();
  layout->addLayout(row);
  progress_->hide();
  cancel_->hide();

  poll_ = new QTimer(this);
  poll_->setInterval(pollMilliseconds);
  connect(poll_, &QTimer::timeout, this, &WaveView::pollSummary);
  setChannels({QString()});
}

WaveView::~WaveView() { stopSummary(); }

void WaveView::startSummary() {
  if (!summaryReader_) return;
  builder_ = std::make_unique<wave::SummaryBuilder>(std::move(summaryReader_));
  poll_->start();
}

void WaveView::stopSummary() {
  poll_->stop();
  summaryReader_.reset();
  builder_.reset();
  progress_->hide();
  cancel_->hide();
}

void WaveView::showSamples(std::unique_ptr<wave::SampleReader> reader,
                           std::unique_ptr<wave::SampleReader> summaryReader, const std::vector<std::string>& names,
                           bool keepPlace) {
  const wave::ViewState before = state_;
  stopSummary();
  reader_ = std::move(reader);
  std::vector<QString> titles;
  for (const std::string& name : names) titles.push_back(QString::fromStdString(name));
  if (titles.empty()) titles.push_back({});
  setChannels(titles);
  state_.reset(reader_ ? reader_->frames() : 0);
  if (!channels_.empty()) state_.setWidth(channels_.front().box->width());
  if (keepPlace) state_.restore(before.framesPerColumn(), before.first());
  firstLine_.reset(), secondLine_.reset(), cursor_.reset();
  summarisedWhenDrawn_ = summarisedInOverview_ = 0;
  if (reader_ && summaryReader && state_.frames() > 0) {
    // The summary starts once the first screen is drawn, which it would slow down, or after a moment.
    summaryReader_ = std::move(summaryReader);
    progress_->setText("Summarising: 0 %");
    progress_->show();
    setCancelOffersResume(false);
    cancel_->show();
    QTimer::singleShot(summaryDelayMilliseconds, this, &WaveView::startSummary);
  }
  scrollBar_->setEnabled(state_.frames() > 0);
  moved();
  refreshOverview();
}

void WaveView::showMessage(const QString& text) {
  stopSummary();
  reader_.reset();
  setChannels({QString()});
  channels_.front().box->setMessage(text);
  state_.reset(0);
  firstLine_.reset(), secondLine_.reset(), cursor_.reset();
  scrollBar_->setEnabled(false);
  moved();
  refreshOverview();
}

void WaveView::setChannels(const std::vector<QString>& names) {
  const bool same = names.size() == channels_.size() &&
                    std::equal(names.begin(), names.end(), channels_.begin(),
                               [](const QString& name, const Channel& channel) { return name == channel.name; });
  if (same) {
    for (Channel& channel : channels_) channel.box->setMessage({});
    return;
  }
  // The panels go at once, so that nothing finds a box of the file before.
  for (Channel& channel : channels_) delete channel.panel;
  channels_.clear();
  for (std::size_t i = 0; i < names.size(); ++i) {
    const int index = static_cast<int>(i);
    Channel channel;
    channel.name = names[i];
    channel.panel = new QWidget(list_);
    channel.panel->setObjectName(index < 2 ? QString("Panel1%1").arg(index) : objectNameOf("Panel", index));
    auto* column = new QVBoxLayout(channel.panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(0);
    const QString lower = channel.name.toLower();
    const QString whose = lower.startsWith("channel") ? lower : lower + " channel";
    channel.buttons.play =
        headerButton(channel.panel, header, objectNameOf("BPlay", index), "Play only the " + whose, ToolPicture::play);
    channel.buttons.stop = headerButton(channel.panel, header, objectNameOf("BStop", index), "Stop", ToolPicture::stop);
    channel.buttons.save =
        headerButton(channel.panel, header, objectNameOf("BSave", index), "Save only the " + whose, ToolPicture::save);
    auto* title = new QLabel(channel.name, channel.panel);
    title->setObjectName(objectNameOf("ChannelName", index));
    header->addSpacing(4);
    header->addWidget(title);
    header->addStretch();
    column->addLayout(header);
    channel.box = new WaveformBox(channel.panel);
    channel.box->setObjectName(objectNameOf("Paint", index));
    channel.box->setToolTip(channel.name.isEmpty() ? QString() : channel.name);
    channel.box->setMinimumHeight(smallestBoxHeight);
    channel.box->setFocusPolicy(Qt::ClickFocus);
    channel.box->setFocusProxy(this);
    channel.box->installEventFilter(this);
    column->addWidget(channel.box, 1);
    listLayout_->addWidget(channel.panel, 1);
    connect(channel.buttons.play, &QToolButton::clicked, this, [this, index] { emit playClicked(index); });
    connect(channel.buttons.stop, &QToolButton::clicked, this, [this, index] { emit stopClicked(index); });
    connect(channel.buttons.save, &QToolButton::clicked, this, [this, index] { emit saveClicked(index); });
    connect(channel.box, &WaveformBox::columnClicked, this, [this](int x) {
      if (const auto frame = state_.frameAt(x)) emit frameClicked(*frame);
    });
    connect(channel.box, &WaveformBox::wheelTurned, this, [this](int steps, int x, bool zoom) {
      if (zoom)
        state_.zoom(steps, x);
      else
        state_.scrollColumns(-static_cast<std::int64_t>(steps) * std::max(1, state_.width() / stepsPerWidth));
      moved();
    });
    // A file without a name for its channels (none open, or one not drawn) shows no header.
    if (channel.name.isEmpty())
      for (QWidget* part : {static_cast<QWidget*>(title), static_cast<QWidget*>(channel.buttons.play),
                            static_cast<QWidget*>(channel.buttons.stop), static_cast<QWidget*>(channel.buttons.save)})
        part->hide();
    channels_.push_back(channel);
  }
}

WaveView::ChannelButtons WaveView::buttons(int channel) const {
  if (channel < 0 || channel >= channelCount()) return {};
  return channels_[static_cast<std::size_t>(channel)].buttons;
}

QString WaveView::channelName(int channel) const {
  if (channel < 0 || channel >= channelCount()) return {};
  return channels_[static_cast<std::size_t>(channel)].name;
}

const wave::PeakSummary* WaveView::summary() const { return builder_ ? builder_->summary() : nullptr; }

void WaveView::moved() {
  refreshBoxes();
  const wave::TrackScale scale = state_.scrollScale();
  {
    const QSignalBlocker quiet(scrollBar_);
    scrollBar_->setRange(0, scale.maximum);
    const int columnsPerStep = static_cast<int>(std::max<std::uint64_t>(1, scale.step));
    scrollBar_->setPageStep(std::max(1, state_.width() / columnsPerStep));
    scrollBar_->setSingleStep(std::max(1, state_.width() / stepsPerWidth / columnsPerStep));
    scrollBar_->setValue(state_.scrollPosition());
  }
  overview_->setMark(state_.overviewMark(overview_->width()));
  emit viewChanged();
}

void WaveView::refreshBoxes() {
  const int width = state_.width();
  if (!reader_ || state_.frames() == 0 || width <= 0) {
    for (Channel& channel : channels_) channel.box->setPeaks({}, true, state_.gain());
    refreshMarks();
    return;
  }
  const wave::PeakSummary* peaks = summary();
  summarisedWhenDrawn_ = peaks ? peaks->framesDone() : 0;
  const auto columns = wave::columnPeaks(*reader_, peaks, state_.span());
  const bool joined = state_.framesPerColumn() <= 1;
  for (std::size_t c = 0; c < channels_.size(); ++c) {
    const std::size_t from = std::min(columns.size(), c * static_cast<std::size_t>(width));
    const std::size_t to = std::min(columns.size(), from + static_cast<std::size_t>(width));
    channels_[c].box->setPeaks(
        {columns.begin() + static_cast<std::ptrdiff_t>(from), columns.begin() + static_cast<std::ptrdiff_t>(to)},
        joined, state_.gain());
  }
  refreshMarks();
}

void WaveView::refreshMarks() {
  const auto columnOf = [this](const std::optional<std::uint64_t>& frame) -> std::optional<int> {
    return frame ? state_.columnOf(*frame) : std::nullopt;
  };
  for (Channel& channel : channels_)
    channel.box->setMarks(columnOf(firstLine_), columnOf(secondLine_), columnOf(cursor_));
}

void WaveView::refreshOverview() {
  const int width = overview_->width();
  if (!reader_ || state_.frames() == 0 || width <= 0) {
    overview_->setPeaks({});
    overview_->setMark({0, 0});
    return;
  }
  const wave::PeakSummary* peaks = summary();
  summarisedInOverview_ = peaks ? peaks->framesDone() : 0;
  const double framesPerColumn = static_cast<double>(state_.frames()) / width;
  // A file shorter than the strip is drawn from the start, one frame per column.
  const auto columns = wave::columnPeaks(*reader_, peaks, {0, std::max(1.0, framesPerColumn), width});
  std::vector<std::optional<wave::Peak>> mixed(static_cast<std::size_t>(width));
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const auto& peak = columns[i];
    auto& into = mixed[i % mixed.size()];
    if (!peak) continue;
    into = into ? wave::Peak{std::min(into->low, peak->low), std::max(into->high, peak->high)} : *peak;
  }
  overview_->setPeaks(std::move(mixed));
  overview_->setMark(state_.overviewMark(width));
}

void WaveView::pollSummary() {
  if (!builder_) return poll_->stop();
  const std::uint64_t done = summary() ? summary()->framesDone() : 0;
  const bool finished = builder_->finished();
  if (finished) {
    poll_->stop();
    if (builder_->complete()) {
      progress_->hide();
      cancel_->hide();
    } else {
      progress_->setText(QString("Summarised: %1 % (stopped)").arg(builder_->percentDone()));
      setCancelOffersResume(true);
    }
  } else {
    progress_->setText(QString("Summarising: %1 %").arg(builder_->percentDone()));
  }
  // What was drawn before the summary reached the boxes' part is drawn again.
  if (done != summarisedWhenDrawn_ && summarisedWhenDrawn_ < state_.first() + state_.visibleFrames()) refreshBoxes();
  if (done != summarisedInOverview_) refreshOverview();
}

bool WaveView::summarising() const { return summaryReader_ || (builder_ && !builder_->finished()); }

void WaveView::setCancelOffersResume(bool resume) {
  cancel_->setText(resume ? "Resume" : "Cancel");
  cancel_->setToolTip(resume ? "Go on summarising the wave from where it stopped"
                             : "Stop summarising the wave (Escape): zoomed-out views show the part summarised");
}

void WaveView::resumeSummary() {
  if (!builder_ || !builder_->resume()) return;
  setCancelOffersResume(false);
  poll_->start();
  pollSummary();
}

void WaveView::cancelSummary() {
  if (!summarising()) return;
  if (!builder_) startSummary();
  builder_->cancel();
  pollSummary();
}

void WaveView::setRedLines(std::optional<std::uint64_t> first, std::optional<std::uint64_t> second) {
  firstLine_ = first, secondLine_ = second;
  refreshMarks();
}

void WaveView::setPlayCursor(std::optional<std::uint64_t> frame) {
  cursor_ = frame;
  if (frame && (*frame < state_.first() || *frame >= state_.first() + state_.visibleFrames()) &&
      *frame < state_.frames()) {
    state_.scrollTo(*frame);
    moved();
    return;
  }
  refreshMarks();
}

void WaveView::zoom(int steps) {
  state_.zoom(steps, state_.width() / 2);
  moved();
}

void WaveView::showAll() {
  state_.showAll();
  moved();
}

void WaveView::amplify() {
  state_.amplify();
  moved();
}

void WaveView::soften() {
  state_.soften();
  moved();
}

void WaveView::keyPressEvent(QKeyEvent* event) {
  const std::int64_t arrow = std::max(1, state_.width() / stepsPerWidth);
  switch (event->key()) {
    case Qt::Key_Home: state_.home(); break;
    case Qt::Key_End: state_.end(); break;
    case Qt::Key_PageDown: state_.pageForward(); break;
    case Qt::Key_PageUp: state_.pageBack(); break;
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (!event->modifiers().testFlag(Qt::ControlModifier)) return QWidget::keyPressEvent(event);
      return event->key() == Qt::Key_Up ? amplify() : soften();
    case Qt::Key_Right: state_.scrollColumns(arrow); break;
    case Qt::Key_Left: state_.scrollColumns(-arrow); break;
    case Qt::Key_Escape:
      if (!summarising()) return QWidget::keyPressEvent(event);
      cancelSummary();
      return;
    default: return QWidget::keyPressEvent(event);
  }
  moved();
}

bool WaveView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == overview_ && event->type() == QEvent::Resize) refreshOverview();
  if (channels_.empty() || watched != channels_.front().box) return false;
  if (event->type() == QEvent::Resize) {
    state_.setWidth(channels_.front().box->width());
    moved();
    refreshOverview();
  } else if (event->type() == QEvent::Paint && reader_ && state_.frames() > 0) {
    // For timing the first screen of a file: the program says when its wave is on the screen (on the
    // monotonic clock) and ends.
    if (quitAfterPaint_)
      QTimer::singleShot(0, qApp, [] {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::fprintf(stderr, "wave painted at %lld ns\n",
                     static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        QCoreApplication::exit(0);
      });
    quitAfterPaint_ = false;
    if (summaryReader_) QTimer::singleShot(0, this, &WaveView::startSummary);
  }
  return false;
}

}  // namespace delvix::app
