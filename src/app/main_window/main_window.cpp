#include "app/main_window/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeView>
#include <iostream>

#include "app/browsers/image_browser.h"
#include "app/browsers/wave_browser.h"
#include "app/help_window.h"
#include "app/thumbnail_model.h"
#include "app/tree_model.h"
#include "app/window_placement.h"
#include "desktop/saved_geometry.h"
#include "dialogs/theme_lint_window.h"
#include "platform/qt_step_timer.h"
#include "widgets/command_messages.h"
#include "widgets/picture_box.h"
#include "widgets/widget_names.h"

namespace delvix::app {

namespace {

constexpr int designedWidth = 817;
constexpr int designedHeight = 451;
// The private message by which the window shows the tip of the day once it is up.
const QEvent::Type tipOfDayEvent = static_cast<QEvent::Type>(QEvent::User + 1000);

const char* const helpFailure =
    "Sorry, but our help can't be run successfully under your Windows version.\n"
    "For view it:\n"
    "\n"
    "- Use Windows 98 or later.\n"
    "- Use Internet Explorer 4.0 or later\n"
    "- Download free HTML Help driver from: https://www.freedesktop.org/wiki/Software/xdg-utils/";

// The window's size when its pane sizes were stored.
QSize storedWindowSize(const Layout& layout, QSize fallback) {
  if (const auto saved = desktop::savedNormalGeometry(layout.windowGeometry)) return {saved->width, saved->height};
  return {layout.windowWidth.value_or(fallback.width()), layout.windowHeight.value_or(fallback.height())};
}

std::optional<QString> localFileOf(const QMimeData* data) {
  if (!data || !data->hasUrls()) return std::nullopt;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return std::nullopt;
}

}  // namespace

TFormANI::TFormANI(Host host, QWidget* parent)
    : QMainWindow(parent),
      host_(std::move(host)),
      stepTimer_(std::make_unique<platform::QtStepTimer>()),
      playerScreen_(std::make_unique<PlayerScreen>(*this)),
      player_(std::make_unique<preview::AnimationPlayer>(*stepTimer_, *playerScreen_)) {
  setObjectName("FormANI");
  setWindowTitle("Delvix");
  resize(designedWidth, designedHeight);
  setMinimumSize(650, 250);
  setAcceptDrops(true);

  createCommands();
  createHistoryCommands();
  createModuleCommands();
  createMenus();
  createToolBar();

  mainSplitter_ = named(new QSplitter(Qt::Horizontal, this), "MainSplitter");
  mainSplitter_->addWidget(createTreeGroup());
  mainSplitter_->addWidget(createFieldGroup());
  PanelRight = named(new QStackedWidget(mainSplitter_), "PanelRight");
  PanelRight->addWidget(createImageGroup());
  PanelRight->addWidget(createMusicGroup());
  PanelRight->setCurrentWidget(GroupImage);
  GroupMusic->hide();
  mainSplitter_->addWidget(PanelRight);
  // A splitter shares new room among the panes with a stretch factor in proportion to their sizes: every pane
  // grows with the window.
  for (int i = 0; i < 3; ++i) {
    mainSplitter_->setCollapsible(i, false);
    mainSplitter_->setStretchFactor(i, 1);
  }
  for (int i = 0; i < 2; ++i) imageSplitter_->setStretchFactor(i, 1);
  setCentralWidget(mainSplitter_);
  createStatusBar();
  createKeys();

  WindowLimits limits;
  limits.designedWidth = designedWidth;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    limits.screenWidth = screen->geometry().width();
    limits.screenHeight = screen->geometry().height();
  }
  settings_ = readSettings(host_.settings, limits, log_);
  ShowHotSpot1->setChecked(settings_.showHotSpot);
  applyStoredLayout();
  showRecentFiles();
  host_.help.failed = [this](const std::filesystem::path& page) { showHelpFailure(page); };
  if (host_.waveOutput)
    host_.waveOutput->finished = [this] {
      setWaveIdleButtons();
      if (windows_.wav) windows_.wav->soundFinished();
    };
}

TFormANI::~TFormANI() {
  player_->stop();
  if (host_.waveOutput) {
    host_.waveOutput->finished = nullptr;
    host_.waveOutput->stop();
  }
  host_.help.failed = nullptr;
  if (host_.help.running()) host_.help.terminate();
  if (settings_.saveOptions) {
    writeSettings(host_.settings, settingsToStore(), log_);
    const std::filesystem::path beside = host_.logBesideProgram ? host_.programFolder : std::filesystem::path();
    if (!saveLogFile(log_, beside, host_.dataFolder))
      std::cerr << "delvix: could not write " << logFileName << " into "
                << (beside.empty() ? "" : beside.string() + " or ") << host_.dataFolder << '\n';
    log_.clear();
  }
  // The views look at the document, which goes before the widgets do.
  treeModel_->setTree(nullptr);
  thumbnailModel_->setDocument(nullptr);
}

void TFormANI::applyStoredLayout() {
  const Layout& layout = settings_.layout;
  const auto& geometry = layout.windowGeometry;
  const bool restored = !geometry.empty() && restoreGeometry(QByteArray(reinterpret_cast<const char*>(geometry.data()),
                                                                        static_cast<qsizetype>(geometry.size())));
  // Qt takes no geometry saved on a screen of quite another width: its place and size are taken here, to be fitted.
  const auto saved = restored ? std::nullopt : desktop::savedNormalGeometry(geometry);
  if (saved) {
    setGeometry(saved->x, saved->y, saved->width, saved->height);
  } else if (!restored) {
    resize(layout.windowWidth.value_or(width()), layout.windowHeight.value_or(height()));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect centred = rect();
      centred.moveCenter(screen->availableGeometry().center());
      move(centred.topLeft());
    }
  }
  // The "Settings" value says whether the window opens maximised; what is placed here is its normal geometry.
  setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
  keepOnScreen(*this);
  applyPaneSizes();
}

void TFormANI::applyPaneSizes() {
  // A stored size below what its pane needs is not taken: the pane gets its default.
  const Layout defaults;
  auto atLeastMinimum = [](const QWidget* pane, Qt::Orientation across, int stored, int fallback) {
    const QSize minimum = pane->minimumSizeHint().expandedTo(pane->minimumSize());
    return stored < (across == Qt::Horizontal ? minimum.width() : minimum.height()) ? fallback : stored;
  };
  Layout layout = settings_.layout;
  layout.treeWidth = atLeastMinimum(GroupBox1, Qt::Horizontal, layout.treeWidth, defaults.treeWidth);
  layout.fieldsWidth = atLeastMinimum(GroupBox4, Qt::Horizontal, layout.fieldsWidth, defaults.fieldsWidth);
  layout.previewHeight = atLeastMinimum(ScrollBox1, Qt::Vertical, layout.previewHeight, defaults.previewHeight);
  layout.folderPanelWidth = atLeastMinimum(Panel3, Qt::Horizontal, layout.folderPanelWidth, defaults.folderPanelWidth);
  layout.namePanelWidth = atLeastMinimum(Panel4, Qt::Horizontal, layout.namePanelWidth, defaults.namePanelWidth);
  // The last pane takes what is left, so the stored panes keep their sizes exactly; in a window smaller than the
  // one they were stored with, the last pane is given what it had there and the splitters shrink every pane
  // in proportion.
  auto rest = [](const QSplitter* splitter, int length, int taken) {
    return std::max(length - taken - (splitter->count() - 1) * splitter->handleWidth(), 50);
  };
  const QSize shrunk = (storedWindowSize(layout, size()) - size()).expandedTo({0, 0});
  const int across = mainSplitter_->width() > 0 ? mainSplitter_->width() : width();
  mainSplitter_->setSizes({layout.treeWidth, layout.fieldsWidth,
                           rest(mainSplitter_, across, layout.treeWidth + layout.fieldsWidth) + shrunk.width()});
  // The picture group lays itself out only when asked; its splitter's height is needed now.
  GroupImage->layout()->activate();
  const int down = imageSplitter_->height() > 0 ? imageSplitter_->height() : height();
  imageSplitter_->setSizes({layout.previewHeight, rest(imageSplitter_, down, layout.previewHeight) + shrunk.height()});
  const int status = statusSplitter_->width() > 0 ? statusSplitter_->width() : width();
  statusSplitter_->setSizes({layout.folderPanelWidth, layout.namePanelWidth,
                             rest(statusSplitter_, status, layout.folderPanelWidth + layout.namePanelWidth)});
}

Settings TFormANI::settingsToStore() const {
  Settings stored = settings_;
  stored.maximised = isMaximized();
  stored.layout.windowWidth = width();
  stored.layout.windowHeight = height();
  const QByteArray geometry = saveGeometry();
  stored.layout.windowGeometry.assign(geometry.begin(), geometry.end());
  // Before the window was first laid out its panes have no sizes of their own yet.
  if (shown_) {
    stored.layout.treeWidth = GroupBox1->width();
    stored.layout.fieldsWidth = GroupBox4->width();
    stored.layout.previewHeight = ScrollBox1->height();
    stored.layout.folderPanelWidth = Panel3->width();
    stored.layout.namePanelWidth = Panel4->width();
  }
  return stored;
}

void TFormANI::showAsStored() {
  if (settings_.maximised)
    showMaximized();
  else
    show();
}

void TFormANI::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // The panes get their stored sizes once the window has its own; the tip of the day comes once it is up.
  if (!shown_) {
    // Now that the window system may have told the frame, the frame too is kept on the screen.
    keepOnScreen(*this);
    applyPaneSizes();
    // A window shown maximised may get its maximised size only later, from the window system.
    panesAwaitMaximised_ = settings_.maximised && size() == normalGeometry().size();
    if (settings_.tipsAtStart) QCoreApplication::postEvent(this, new QEvent(tipOfDayEvent));
  }
  shown_ = true;
}

bool TFormANI::event(QEvent* event) {
  if (event->type() == tipOfDayEvent) {
    showTipOfDay();
    return true;
  }
  // The window's layout has already followed the resize that maximised it.
  if (event->type() == QEvent::Resize && panesAwaitMaximised_ && isMaximized() && size() != normalGeometry().size()) {
    panesAwaitMaximised_ = false;
    applyPaneSizes();
  }
  return QMainWindow::event(event);
}

void TFormANI::showTipOfDay() {
  if (windows_.tip) windows_.tip->showFor(settings_.tipsAtStart);
}

void TFormANI::dragEnterEvent(QDragEnterEvent* event) {
  if (localFileOf(event->mimeData())) event->acceptProposedAction();
}

void TFormANI::dropEvent(QDropEvent* event) {
  const auto file = localFileOf(event->mimeData());
  if (!file) return;
  event->acceptProposedAction();
  // Open after the drop has finished, so the source application is not kept waiting.
  QTimer::singleShot(0, this, [this, name = *file] { openFile(name); });
}

void TFormANI::report(const std::string& text) {
  if (commandMessages_) {
    commandMessages_->reporter().error(text);
    return;
  }
  host_.prompter.show({text, platform::MessageButtons::yes, platform::MessageIcon::error, {}});
  log_.add(text);
}

void TFormANI::ToolButton6Click() { showBrowser(windows_.info); }

void TFormANI::ToolButton7Click() { showBrowser(windows_.wav); }

void TFormANI::showBrowser(QWidget* browser) {
  if (!browser) return;
  browser->show();
  browser->raise();
  browser->activateWindow();
}

void TFormANI::CheckThemeClick() {
  const QString folder =
      QFileDialog::getExistingDirectory(this, tr("Check Cursor Theme"), QStringLiteral("/usr/share/icons"));
  if (folder.isEmpty()) return;
  auto* window = new ThemeLintWindow(this);  // the window owns itself: deleted when it is closed
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->check(folder);
  window->show();
}

void TFormANI::Exit1Click() { close(); }

void TFormANI::ButHelpClick() {
  // Beside the program in a build, in the shared data folder once installed (prefix/bin, prefix/share/delvix).
  std::filesystem::path page = host_.programFolder / "help" / "index.html";
  const std::filesystem::path installed =
      host_.programFolder.parent_path() / "share" / "delvix" / "help" / "index.html";
  std::error_code error;
  if (!std::filesystem::exists(page, error) && std::filesystem::exists(installed, error)) page = installed;
  if (!host_.help.start(page)) showHelpFailure(page);
}

void TFormANI::showHelpFailure(const std::filesystem::path& page) {
  // Nothing on the desktop shows web pages: the program shows its own.
  std::error_code error;
  if (std::filesystem::is_regular_file(page, error)) {
    if (!helpWindow_) helpWindow_ = new HelpWindow(this);
    helpWindow_->showPage(page);
    return;
  }
  host_.prompter.show({std::string(helpFailure) + "\n\nThe help pages: " + page.string(),
                       platform::MessageButtons::ok,
                       platform::MessageIcon::information,
                       {}});
}

void TFormANI::TipOfDayClick() { showTipOfDay(); }

void TFormANI::AlphaBlendingClick() {
  // A checkable menu item has already flipped its own mark when it calls this.
  const auto* source = qobject_cast<const QAction*>(sender());
  const bool checked = source ? source->isChecked() : !AlphaBlending2->isChecked();
  AlphaBlending->setChecked(checked);
  AlphaBlending2->setChecked(checked);
}

void TFormANI::ScalingClick() {
  // A checkable menu item has already flipped its own mark when it calls this.
  const auto* source = qobject_cast<const QAction*>(sender());
  const bool checked = source ? source->isChecked() : !Scaling2->isChecked();
  Scaling->setChecked(checked);
  Scaling2->setChecked(checked);
}

}  // namespace delvix::app
