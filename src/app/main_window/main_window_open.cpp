// The open command: from a chosen file name to a shown document.
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <climits>

#include "app/field_table_model.h"
#include "app/main_window/main_window.h"
#include "app/thumbnail_model.h"
#include "app/tree_model.h"
#include "formats/content_kind.h"
#include "formats/regular_file.h"
#include "model/picture_index.h"
#include "wave/track_scale.h"
#include "widgets/command_messages.h"
#include "widgets/picture_box.h"
#include "widgets/waveform_box.h"
#include "widgets/window_reporter.h"

namespace delvix::app {

namespace {

constexpr const char* openFilter =
    "All files (*.ani,*.cur,*.ico,*.exe,*.dll,*.ocx,*.cpl,*.wav)|*.ani;*.cur;*.ico;*.exe;*.dll;*.ocx;*.cpl;*.scr;*.wav|"
    "All icon's files (*.ani,*.cur,*.ico)|*.ani;*.cur;*.ico|Execute and library files (*.exe,*.dll,*.ocx)|*.exe;*.dll;"
    "*.ocx|Ani-cursors (*.ani)|*.ani|Cursors (*.cur)|*.cur|Icons (*.ico)|*.ico|Execute files (*.exe)|*.exe|Library "
    "files (*.dll)|*.dll|ActiveX files (*.ocx)|*.ocx|Control Panel files (*.cpl)|*.cpl|ScreenSaver files "
    "(*.scr)|*.scr|Music files (*.wav)|*.wav";

// The busy cursor for as long as the object lives.
class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

std::string withTrailingSeparator(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

void TFormANI::ButLoadClick() {
  const auto chosen = host_.prompter.openFile({"Open", openFilter, folder_});
  if (!chosen) return;
  openFile(QString::fromStdString(*chosen));
}

void TFormANI::openFile(const QString& fileName) { openPath(fileName.toStdString()); }

void TFormANI::openPath(const std::filesystem::path& file) {
  std::error_code error;
  // The folder as the system resolves it ("a/../b" shown as "b"); the name as given, even a link's.
  std::filesystem::path path = std::filesystem::absolute(file);
  if (auto folder = std::filesystem::weakly_canonical(path.parent_path(), error); !error)
    path = folder / path.filename();
  if (std::filesystem::exists(path, error) && !std::filesystem::is_regular_file(path, error)) {
    // A FIFO, a device or a folder: said what it is, and never opened (a FIFO would wait for a writer).
    const std::string problem = formats::inputProblem(path).value_or("is not a regular file");
    host_.prompter.show({path.filename().string() + " " + problem + ".",
                         platform::MessageButtons::ok,
                         platform::MessageIcon::error,
                         {},
                         path.string()});
    return;
  }
  if (!std::filesystem::is_regular_file(path, error)) {
    host_.prompter.show(
        {"File not found.", platform::MessageButtons::yes, platform::MessageIcon::error, {}, path.filename().string()});
    return;
  }
  // The first bytes decide, as they do for every reader (the read logs where they overrule the extension).
  const formats::FileKindChoice choice = formats::chooseFileKind(path);
  const auto kind = choice.kind;
  if (!kind) {
    // Nothing is reset: the open document stays as it was.
    CommandMessages messages(log_, host_.prompter, path.filename().string(), &commandMessages_);
    const std::string extension = path.extension().string();
    if (!choice.openError.empty())
      report("Could not open this file: " + choice.openError);
    else
      report("Unsupported file type: " + (extension.empty() ? std::string("(no extension)") : extension));
    return;
  }

  // The open document goes: its changes are saved first, or let go, or the file is not opened.
  if (!maybeSaveChanges()) return;

  QCoreApplication::processEvents();
  log_.add("--------------");
  log_.add("opening of file: " + path.string());
  log_.add("--------------");
  // What the open meets from here on is shown in one box at its end.
  CommandMessages messages(log_, host_.prompter, path.filename().string(), &commandMessages_);

  BusyCursor busy;
  resetViews(path);
  try {
    switch (*kind) {
      case model::FileKind::animatedCursor: openAnimatedCursor(path); break;
      case model::FileKind::iconFile: openIconFile(path); break;
      case model::FileKind::wave: openWave(path); break;
      case model::FileKind::module: openModule(path); break;
      case model::FileKind::xcursor: openXcursor(path); break;
      case model::FileKind::none: break;
    }
  } catch (...) {
    showViews();
    report("Invalid memory block address.");
  }
  rememberRecentFile(path);
  updateTitle();
  updateHistoryCommands();
}

void TFormANI::showFileName(const std::filesystem::path& path) {
  folder_ = withTrailingSeparator(path.parent_path().string());
  extension_ = path.extension().string();
  const QString folderText = QString::fromStdString(" " + folder_);
  const QString nameText = QString::fromStdString(" " + path.filename().string());
  Panel3->setText(folderText);
  Panel3->setToolTip(folderText);
  Panel4->setText(nameText);
  Panel4->setToolTip(nameText);
}

void TFormANI::resetViews(const std::filesystem::path& path) {
  // Nothing may step through a document that is about to go, nor undo into it.
  player_->load(nullptr, 0);
  playerNominalSize_.reset();
  history_.clear();
  stopSound();
  hidePixelMarkers();

  showFileName(path);
  Panel5->clear();
  Panel5->setToolTip({});
  showModuleCounters(false);

  detachHandlers();
  treeModel_->setTree(nullptr);
  thumbnailModel_->setDocument(nullptr);
  fieldModel_->clear();
  document_.clear();
  currentPictureIndex_ = 0;

  for (QWidget* button : std::initializer_list<QWidget*>{ButApply, ButAdd, ButRemove, ButForward, ButBack, ButStart,
                                                         ButPause, ButStop, ButNext, ButPrev, ButUp, ButDown})
    button->setEnabled(false);
  for (QLineEdit* edit : {Edit1, EditInfo, EditR, EditG, EditB, EditRes, EditMask1, EditMask2, EditColor, EditMask}) {
    edit->clear();
    edit->hide();
  }
  Edit1->setToolTip({});
  EditInfo->setToolTip({});
  Edit1->show();
  ButSave->setEnabled(false);
  ButCopy->setEnabled(false);
  for (QAction* action : {SaveBlitting, SaveFrameBlit, Copy1, CopyBlitting1}) action->setEnabled(false);
  SaveAnimation1->setEnabled(false);
  // Nothing of the previous file may be saved or changed through the new one, whatever the new read gives.
  enableSaveAllAndAdd(false, nullptr);
  ButMinus->setEnabled(false);
  Removechunk1->setEnabled(false);
  ScrollBox1->horizontalScrollBar()->setValue(0);
  ScrollBox1->verticalScrollBar()->setValue(0);
  PreviewBox->clearPicture();
  PaintAlpha->clearPicture();
  frameBitmap_ = gfx::Image();
  alphaFrameBitmap_ = gfx::Image();
  alphaShown_ = false;
  enableBlendToggles();
}

bool TFormANI::readIntoDocument(const std::filesystem::path& path, model::FileKind kind) {
  WindowReporter direct(log_, host_.prompter);
  formats::Reporter& reporter = commandMessages_ ? commandMessages_->reporter() : direct;
  const formats::ReadOutcome outcome = host_.read(path, document_, settings_.readSettings(), reporter);
  document_.kind = kind;
  showViews();
  return outcome == formats::ReadOutcome::read;
}

void TFormANI::showViews() {
  treeModel_->setTree(&document_.tree);
  thumbnailModel_->setDocument(&document_);
  const QSize size = thumbnailModel_->thumbnailSize();
  if (!size.isEmpty()) ListPreview->setIconSize(size);
  fitThumbnailColumns();
  Panel5->setText(QString::fromStdString(document_.statusText));
  Panel5->setToolTip(Panel5->text());
}

void TFormANI::openAnimatedCursor(const std::filesystem::path& path) {
  PanelRight->setCurrentWidget(GroupImage);
  GroupImage->show();
  GroupMusic->hide();
  setThumbnailColumns(model::FileKind::animatedCursor);
  const bool read = readIntoDocument(path, model::FileKind::animatedCursor);
  if (!read && document_.imageCount == 0) return;
  attachHandlers(true);
  enableSaveAllAndAdd(true, "Save all");
  player_->load(&document_.ani, document_.imageCount);
  if (read) enableZoom();
  selectFirstPicture();
}

void TFormANI::openIconFile(const std::filesystem::path& path) {
  PanelRight->setCurrentWidget(GroupImage);
  GroupImage->show();
  GroupMusic->hide();
  const bool read = readIntoDocument(path, model::FileKind::iconFile);
  if (!read && document_.imageCount == 0) return;
  attachHandlers(true);
  setThumbnailColumns(model::FileKind::iconFile);
  enableSaveAllAndAdd(true, "Save all");
  if (read) enableZoom();
  selectFirstPicture();
}

void TFormANI::openXcursor(const std::filesystem::path& path) {
  PanelRight->setCurrentWidget(GroupImage);
  GroupImage->show();
  GroupMusic->hide();
  setThumbnailColumns(model::FileKind::xcursor);
  const bool read = readIntoDocument(path, model::FileKind::xcursor);
  if (document_.tree.empty()) return;
  attachHandlers(true);
  enableSaveAllAndAdd(true, "Save all");
  // Pictures are not added to an X cursor here.
  ButPlus->setEnabled(false);
  Addchunk1->setEnabled(false);
  if (read) enableZoom();
  playerNominalSize_.reset();
  loadXcursorPlayer(0);
  selectFirstPicture();
}

void TFormANI::openModule(const std::filesystem::path& path) {
  PanelRight->setCurrentWidget(GroupImage);
  GroupImage->show();
  GroupMusic->hide();
  for (QLabel* count : {Label6, Label7, Label8}) count->setText("0");
  showModuleCounters(true);
  for (QToolButton* button : {ButForward, ButStart, ButBack}) button->setEnabled(false);
  enableSaveAllAndAdd(false, nullptr);
  const bool read = readIntoDocument(path, model::FileKind::module);
  showModuleCounterTexts();
  updateModuleCommands();
  // The counters take the place of the file size.
  Panel5->clear();
  if (document_.imageCount == 0) return;
  attachHandlers(true);
  setThumbnailColumns(model::FileKind::module);
  ButSaveAll->setToolTip("Save group");
  if (read) enableZoom();
  selectFirstPicture();
}

void TFormANI::openWave(const std::filesystem::path& path) {
  PanelRight->setCurrentWidget(GroupMusic);
  GroupImage->hide();
  GroupMusic->show();
  clearWaveView();

  const bool read = readIntoDocument(path, model::FileKind::wave);
  if (!document_.tree.empty()) TreeView1->expandAll();
  // A wave file selects no node: none is shown as selected either.
  TreeView1->selectionModel()->clear();
  treeHandlerAttached_ = true;
  // A file without its format or its data is shown, but nothing may be played or saved of it.
  if (!read) return;

  prepareWaveView();
  // PCM whose samples cannot be read can be played (decoded), but is not changed or saved.
  if (document_.wave.isPcm() && !waveDrawn_ && document_.wave.dataSize > 0) return;
  enableSaveAllAndAdd(true, "Save");
}

void TFormANI::setThumbnailColumns(model::FileKind kind) {
  const int second = kind == model::FileKind::module ? 30 : 60;
  const int secondWidth = kind == model::FileKind::module ? 80 : 60;
  // The first column holds the thumbnail and the number beside it; the others widen to their texts up to
  // their largest width and cut longer ones short (the tooltip shows them whole).
  thumbnailColumns_ = {ColumnLimits{40, 70, 0}, ColumnLimits{second, secondWidth, 260}, ColumnLimits{20, 95, 140}};
  thumbnailModel_->setColumns(kind);
  for (int column = 0; column < 3; ++column)
    ListPreview->header()->resizeSection(column, thumbnailColumns_[static_cast<std::size_t>(column)].width);
  fitThumbnailColumns();
}

void TFormANI::fitThumbnailColumns() {
  const int rows = thumbnailModel_->rowCount();
  if (rows == 0) return;
  QHeaderView* header = ListPreview->header();
  // QTreeView hides the measure that every item view offers.
  const QAbstractItemView* view = ListPreview;
  for (int column = 0; column < 3; ++column) {
    // The view measures the rows it shows and a bounded number more; the last row has the longest number.
    int fitted = std::max(view->sizeHintForColumn(column), header->sectionSizeHint(column));
    fitted = std::max(fitted, ListPreview->sizeHintForIndex(thumbnailModel_->index(rows - 1, column)).width());
    const ColumnLimits& limits = thumbnailColumns_[static_cast<std::size_t>(column)];
    fitted = std::max(fitted, limits.minimum);
    header->resizeSection(column, limits.maximum == 0 ? fitted : std::min(fitted, limits.maximum));
  }
}

void TFormANI::enableZoom() {
  ButUp->setEnabled(zoom_ < preview::largestZoom);
  ButDown->setEnabled(zoom_ > 1);
}

void TFormANI::enableSaveAllAndAdd(bool enabled, const char* saveHint) {
  ButSaveAll->setEnabled(enabled);
  Saveall1->setEnabled(enabled);
  ButPlus->setEnabled(enabled);
  Addchunk1->setEnabled(enabled);
  if (saveHint) ButSaveAll->setToolTip(QString::fromLatin1(saveHint));
}

void TFormANI::selectFirstPicture() {
  currentPictureIndex_ = 0;
  const model::Node* first = document_.tree.findFirst(model::pictureName(1));
  // A directory without entries leaves nothing to show, save or copy.
  if (!first) return;
  const QModelIndex index = treeModel_->indexOf(*first);
  TreeView1->scrollTo(index);
  TreeView1->setCurrentIndex(index);
  ButSave->setEnabled(true);
  ButCopy->setEnabled(true);
  for (QAction* action : {SaveBlitting, SaveFrameBlit, Copy1, CopyBlitting1}) action->setEnabled(true);
  SaveAnimation1->setEnabled(document_.kind == model::FileKind::animatedCursor);
}

void TFormANI::showModuleCounters(bool visible) { moduleCounters_->setVisible(visible); }

}  // namespace delvix::app
