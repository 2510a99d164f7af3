// The edit history in the window: Undo and Redo, the modified mark in the title, and the question before
// unsaved changes would be lost.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QSessionManager>
#include <QToolButton>
#include <QTreeView>

#include "app/field_table_model.h"
#include "app/main_window/main_window.h"
#include "app/main_window/quiet_handlers.h"
#include "app/thumbnail_model.h"
#include "app/tree_model.h"
#include "model/picture_index.h"
#include "model/show_states.h"
#include "widgets/widget_names.h"

namespace delvix::app {

void TFormANI::createHistoryCommands() {
  Undo1 = named(new QAction("&Undo", this), "Undo1");
  Undo1->setShortcuts(QKeySequence::Undo);
  Redo1 = named(new QAction("&Redo", this), "Redo1");
  // Ctrl+Shift+Z and Ctrl+Y both redo, whichever the desktop names first.
  QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
  for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)})
    if (!redoKeys.contains(key)) redoKeys.append(key);
  Redo1->setShortcuts(redoKeys);
  Save1 = named(new QAction("&Save", this), "Save1");
  Save1->setShortcuts(QKeySequence::Save);
  connect(Undo1, &QAction::triggered, this, &TFormANI::UndoClick);
  connect(Redo1, &QAction::triggered, this, &TFormANI::RedoClick);
  connect(Save1, &QAction::triggered, this, &TFormANI::SaveDocumentClick);
  history_.setListener([this] { updateHistoryCommands(); });
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
    if (!sessionMayEnd(history_.isClean() || manager.allowsInteraction())) manager.cancel();
  });
  updateHistoryCommands();
}

void TFormANI::updateHistoryCommands() {
  const bool undo = history_.canUndo();
  const bool redo = history_.canRedo();
  Undo1->setEnabled(undo);
  Redo1->setEnabled(redo);
  Undo1->setText(undo ? QString::fromStdString("&Undo " + history_.undoName()) : QStringLiteral("&Undo"));
  Redo1->setText(redo ? QString::fromStdString("&Redo " + history_.redoName()) : QStringLiteral("&Redo"));
  // A changed module can always be saved, whichever node is selected.
  if (moduleChanged()) {
    Saveall1->setEnabled(true);
    ButSaveAll->setEnabled(true);
  }
  Save1->setEnabled(document_.kind != model::FileKind::none && Saveall1->isEnabled());
  setWindowModified(!history_.isClean());
}

void TFormANI::updateTitle() {
  const std::filesystem::path path(document_.path);
  if (document_.kind == model::FileKind::none || path.empty())
    setWindowTitle("Delvix");
  else
    setWindowTitle(QString::fromStdString(path.filename().string()) + QStringLiteral("[*] \u2013 Delvix"));
  setWindowModified(!history_.isClean());
}

bool TFormANI::maybeSaveChanges() {
  if (history_.isClean()) return true;
  switch (host_.prompter.askToSave(std::filesystem::path(document_.path).filename().string())) {
    case platform::UnsavedChoice::save: return SaveDocumentClick();
    case platform::UnsavedChoice::discard: return true;
    case platform::UnsavedChoice::cancel: return false;
  }
  return false;
}

bool TFormANI::sessionMayEnd(bool mayAsk) {
  if (saving_) return false;
  if (history_.isClean()) return true;
  // Without leave to ask, the changes are kept by keeping the session.
  return mayAsk && maybeSaveChanges();
}

void TFormANI::closeEvent(QCloseEvent* event) {
  // The save's own dialog is in front; closing waits for it to end or be cancelled.
  if (!saving_ && maybeSaveChanges())
    event->accept();
  else
    event->ignore();
}

void TFormANI::UndoClick() { replayStep(false); }

void TFormANI::RedoClick() { replayStep(true); }

void TFormANI::replayStep(bool forwards) {
  if (!(forwards ? history_.canRedo() : history_.canUndo())) return;
  // Nothing may step through or play what is about to change.
  stopPlayer();
  stopSound();
  history::Replayed replayed;
  {
    QuietHandlers quiet(treeHandlerAttached_, thumbnailHandlerAttached_);
    replayed = forwards ? history_.redo(document_) : history_.undo(document_);
  }
  showReplayed(replayed);
}

void TFormANI::showReplayed(const history::Replayed& replayed) {
  // Subtrees put back keep the show settings of now.
  if (replayed.tree) model::applyShowStates(document_.tree, {settings_.table, settings_.color, settings_.mask});
  // A step may have changed any picture's pixels or colours: the thumbnails shown are drawn again.
  if (replayed.pictures)
    thumbnailModel_->setDocument(&document_);
  else
    thumbnailModel_->refreshThumbnails();
  if (replayed.pictures) fitThumbnailColumns();
  if (replayed.animation) thumbnailModel_->refreshDelays();
  showStatusText(document_.statusText);
  if (document_.kind == model::FileKind::animatedCursor) reloadPlayer();
  if (replayed.module) {
    showModuleCounterTexts();
    updateModuleCommands();
  }
  if (replayed.wave) {
    prepareWaveView();
    Panel9->setText("0");
  }
  currentPictureIndex_ = std::clamp(currentPictureIndex_, 0, std::max(document_.imageCount - 1, 0));
  // The node on show is listed and drawn again as it now is; when it went, the tree's new current node is.
  const model::Node* shown = treeModel_->nodeAt(TreeView1->currentIndex());
  if (!shown && document_.kind != model::FileKind::wave) shown = document_.tree.findFirst(model::pictureName(1));
  if (!shown) {
    clearFieldView();
    return;
  }
  selectChangedNode(shown);
  // A picture's part (its bitmap, its colour table) leaves the thumbnail where it is: its picture is drawn here.
  if (document_.kind != model::FileKind::wave && document_.imageCount > 0 && renderPicture(currentPictureIndex_))
    applyPreviewLayout(previewLayout_);
}

}  // namespace delvix::app
