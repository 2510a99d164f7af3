#include "app/browsers/folder_browser.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/browsers/browser_pictures.h"
#include "app/browsers/volume_list.h"
#include "browse/file_names.h"
#include "widgets/pictures.h"
#include "widgets/widget_names.h"

namespace delvix::app {

namespace {

// How long one slice of a listing may keep the window from answering.
constexpr qint64 sliceMilliseconds = 15;

constexpr int pathRole = Qt::UserRole;
constexpr int kindRole = Qt::UserRole + 1;

QString textOf(const std::filesystem::path& path) { return QString::fromStdString(browse::displayText(path.native())); }

// The folder as the status bar shows it: ending in a separator.
QString folderText(const std::filesystem::path& folder) {
  QString text = textOf(folder);
  if (!text.endsWith('/')) text += '/';
  return text;
}

}  // namespace

// Lines between the cells, when switched on.
class GridLineDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  bool lines = false;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    if (!lines) return;
    painter->save();
    painter->setPen(option.palette.color(QPalette::Mid));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->restore();
  }
};

FolderBrowser::FolderBrowser(QWidget* owner, const char* name, const char* caption, const QStringList& columns)
    : QWidget(owner, Qt::Tool) {
  setObjectName(name);
  setWindowTitle(caption);

  layout_ = new QVBoxLayout(this);
  layout_->setContentsMargins(4, 4, 4, 0);
  layout_->setSpacing(4);

  auto* top = new QHBoxLayout;
  DisksBrowse = named(new QComboBox(this), "DisksBrowse");
  DisksBrowse->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  top->addWidget(DisksBrowse, 1);
  ToolBar1 = named(new QToolBar(this), "ToolBar1");
  ToolBar1->setIconSize({20, 20});
  top->addWidget(ToolBar1);
  layout_->addLayout(top);

  FilesBrowse = named(new QTreeWidget(this), "FilesBrowse");
  FilesBrowse->setColumnCount(static_cast<int>(columns.size()));
  FilesBrowse->setHeaderLabels(columns);
  FilesBrowse->setRootIsDecorated(false);
  FilesBrowse->setUniformRowHeights(true);
  FilesBrowse->setSelectionBehavior(QAbstractItemView::SelectRows);
  FilesBrowse->setSelectionMode(QAbstractItemView::SingleSelection);
  FilesBrowse->setEditTriggers(QAbstractItemView::NoEditTriggers);
  FilesBrowse->setIconSize({browse::fileIconSize, browse::fileIconSize});
  gridLines_ = new GridLineDelegate(FilesBrowse);
  FilesBrowse->setItemDelegate(gridLines_);
  // The name takes what the counts leave; each count is as wide as its caption.
  QHeaderView* header = FilesBrowse->header();
  header->setStretchLastSection(false);
  header->setSectionResizeMode(0, QHeaderView::Stretch);
  for (int column = 1; column < FilesBrowse->columnCount(); ++column)
    header->resizeSection(column, std::max(56, header->sectionSizeHint(column)));
  FilesBrowse->installEventFilter(this);
  layout_->addWidget(FilesBrowse, 1);

  StatusBar1 = named(new QStatusBar(this), "StatusBar1");
  layout_->addWidget(StatusBar1);
  // The hint repeats the text, which may be wider than the window.
  connect(StatusBar1, &QStatusBar::messageChanged, StatusBar1, &QWidget::setToolTip);

  ToolButton1 = addToolButton("ToolButton1", "Grid lines", gridLinesPicture(), true);
  OpenToolButton = addToolButton("OpenToolButton", "Open file", toolIcon(ToolPicture::open), false);
  OpenToolButton->setEnabled(false);

  connect(ToolButton1, &QToolButton::clicked, this, &FolderBrowser::ToolButton1Click);
  connect(OpenToolButton, &QToolButton::clicked, this, &FolderBrowser::OpenToolButtonClick);
  connect(DisksBrowse, &QComboBox::activated, this, &FolderBrowser::DisksBrowseChange);
  connect(FilesBrowse, &QTreeWidget::itemDoubleClicked, this, &FolderBrowser::FilesBrowseDblClick);
  connect(FilesBrowse, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current) { currentRowChanged(current); });

  fillTimer_.setInterval(0);
  connect(&fillTimer_, &QTimer::timeout, this, &FolderBrowser::fillSlice);
}

FolderBrowser::~FolderBrowser() = default;

void FolderBrowser::setServices(BrowserServices services) { services_ = std::move(services); }

void FolderBrowser::addControlRow(QWidget* row) { layout_->insertWidget(1, row); }

QToolButton* FolderBrowser::addToolButton(const char* name, const char* hint, const QIcon& picture, bool checkable) {
  auto* button = named(new QToolButton(ToolBar1), name);
  button->setToolTip(QString::fromLatin1(hint));
  button->setIcon(picture);
  button->setCheckable(checkable);
  button->setAutoRaise(true);
  ToolBar1->addWidget(button);
  return button;
}

void FolderBrowser::log(const std::string& line) const {
  if (services_.log) services_.log(line);
}

void FolderBrowser::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!centred_) {
    centred_ = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
      move(screen->availableGeometry().center() - rect().center());
  }
  if (listing_) {
    fillTimer_.start();
  } else if (FilesBrowse->topLevelItemCount() == 0) {
    std::error_code error;
    showFolder(services_.startFolder ? services_.startFolder() : std::filesystem::current_path(error));
  }
}

void FolderBrowser::hideEvent(QHideEvent* event) {
  // The rest of a listing waits until the window is shown again.
  fillTimer_.stop();
  QWidget::hideEvent(event);
}

void FolderBrowser::showFolder(const std::filesystem::path& folder) {
  browse::ListingOutcome outcome = browse::listFolder(folder, filter());
  if (!outcome.listing) {
    const std::string why = outcome.error.empty() ? "The folder cannot be read." : outcome.error;
    log(why);
    showStatus(QString::fromStdString(browse::displayText(why)));
    fillDriveList();
    return;
  }
  fillTimer_.stop();
  listing_ = std::move(outcome.listing);
  folder_ = listing_->folder;
  nextRow_ = 0;
  filesListed_ = 0;
  failureBoxed_ = false;
  {
    const QSignalBlocker quiet(FilesBrowse);
    FilesBrowse->clear();
  }
  enableOpenButton();
  fileCountChanged(0);
  showStatus(folderText(folder_));
  fillDriveList();
  FilesBrowse->setCursor(Qt::BusyCursor);
  fillSlice();
  selectTopRow();
  if (listing_) fillTimer_.start();
}

void FolderBrowser::fillSlice() {
  if (!listing_) return;
  QElapsedTimer clock;
  clock.start();
  {
    // Adding rows must not look like a choice of the user (a wave would play).
    const QSignalBlocker quiet(FilesBrowse);
    const std::vector<browse::FolderRow>& rows = listing_->rows;
    while (nextRow_ < rows.size()) {
      addRow(rows[nextRow_++]);
      if (clock.elapsed() >= sliceMilliseconds) break;
    }
  }
  fileCountChanged(filesListed_);
  if (nextRow_ < listing_->rows.size()) return;
  listing_.reset();
  fillTimer_.stop();
  FilesBrowse->unsetCursor();
}

void FolderBrowser::addRow(const browse::FolderRow& row) {
  auto* item = new QTreeWidgetItem(FilesBrowse);
  item->setText(0, QString::fromStdString(row.caption));
  item->setData(0, pathRole, QByteArray::fromStdString(row.path.native()));
  item->setData(0, kindRole, static_cast<int>(row.kind));
  if (row.kind != browse::RowKind::file) {
    item->setIcon(0, fixedRowPicture(row.kind == browse::RowKind::parent ? browse::FixedPicture::parentFolder
                                                                         : browse::FixedPicture::folder));
    return;
  }
  ++filesListed_;
  const browse::FileSummary summary = describeFile(*item, row);
  for (int column = 1; column < FilesBrowse->columnCount(); ++column)
    item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
  if (summary.reason.empty()) return;
  const QString reason = QString::fromStdString(browse::displayText(summary.reason));
  for (int column = 0; column < FilesBrowse->columnCount(); ++column) item->setToolTip(column, reason);
  reportFailure(row, summary.reason);
}

void FolderBrowser::reportFailure(const browse::FolderRow& file, const std::string& reason) {
  log(browse::displayText(file.path.native()) + ": " + reason);
  if (!boxesFirstFailure() || failureBoxed_ || !services_.prompter) return;
  failureBoxed_ = true;
  // Shown once the slice is done, so that the box does not wait inside a listing.
  QTimer::singleShot(0, this, [this, text = file.caption + ": " + reason] {
    if (services_.prompter)
      services_.prompter->show({text, platform::MessageButtons::ok, platform::MessageIcon::error, "Error Message"});
  });
}

void FolderBrowser::fillDriveList() {
  const std::vector<Volume> volumes = browsableVolumes();
  const QSignalBlocker quiet(DisksBrowse);
  DisksBrowse->clear();
  for (const Volume& volume : volumes)
    DisksBrowse->addItem(volume.caption, QByteArray::fromStdString(volume.root.native()));
  DisksBrowse->setCurrentIndex(volumeHolding(volumes, folder_));
}

void FolderBrowser::selectTopRow() {
  QTreeWidgetItem* top = FilesBrowse->topLevelItem(0);
  if (!top) return;
  {
    const QSignalBlocker quiet(FilesBrowse);
    FilesBrowse->setCurrentItem(top);
  }
  enableOpenButton();
  FilesBrowse->setFocus();
}

void FolderBrowser::enableOpenButton() {
  const QTreeWidgetItem* current = FilesBrowse->currentItem();
  OpenToolButton->setEnabled(current && isFileRow(*current));
}

void FolderBrowser::currentRowChanged(QTreeWidgetItem* row) {
  enableOpenButton();
  rowChosen(row);
}

void FolderBrowser::relist() {
  showFolder(folder_);
  FilesBrowse->setFocus();
}

std::filesystem::path FolderBrowser::pathOf(const QTreeWidgetItem& row) {
  return row.data(0, pathRole).toByteArray().toStdString();
}

bool FolderBrowser::isFileRow(const QTreeWidgetItem& row) {
  return row.data(0, kindRole).toInt() == static_cast<int>(browse::RowKind::file);
}

void FolderBrowser::openRow(QTreeWidgetItem* row) {
  if (!row) return;
  if (!isFileRow(*row)) {
    showFolder(pathOf(*row));
    return;
  }
  if (services_.open) services_.open(pathOf(*row));
}

void FolderBrowser::DisksBrowseChange(int index) {
  const QByteArray root = DisksBrowse->itemData(index).toByteArray();
  if (!root.isEmpty()) showFolder(root.toStdString());
}

void FolderBrowser::FilesBrowseDblClick(QTreeWidgetItem* row) { openRow(row); }

void FolderBrowser::OpenToolButtonClick() {
  QTreeWidgetItem* current = FilesBrowse->currentItem();
  if (current && isFileRow(*current)) openRow(current);
}

void FolderBrowser::ToolButton1Click() {
  gridLines_->lines = ToolButton1->isChecked();
  FilesBrowse->viewport()->update();
}

bool FolderBrowser::eventFilter(QObject* watched, QEvent* event) {
  if (watched == FilesBrowse && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      openRow(FilesBrowse->currentItem());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void FolderBrowser::showStatus(const QString& text) { StatusBar1->showMessage(text); }

}  // namespace delvix::app
