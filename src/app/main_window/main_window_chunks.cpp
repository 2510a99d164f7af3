// Add chunk and Remove chunk: the dialog's choices and the selected node handed to the core, and the views
// brought in line with what it changed.
#include <QAction>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "app/main_window/main_window.h"
#include "app/main_window/quiet_handlers.h"
#include "app/thumbnail_model.h"
#include "app/tree_model.h"
#include "edit/add_chunks.h"
#include "edit/add_image.h"
#include "edit/remove_chunk.h"
#include "formats/xcursor/xcursor_document.h"
#include "model/picture_index.h"

namespace delvix::app {

namespace {

bool isRiff(const model::Document& document) {
  return document.kind == model::FileKind::animatedCursor || document.kind == model::FileKind::wave;
}

}  // namespace

// Adding changes what the player steps through: it stops first.
void TFormANI::ButPlusClick() {
  stopSound();
  stopPlayer();
  if (!windows_.chunk) return chunkDialogFinished(QDialog::Rejected);
  windows_.chunk->showFor(document_, host_.prompter, log_);
}

void TFormANI::chunkDialogFinished(int result) {
  ToolBar1->update();
  if (result == QDialog::Accepted) {
    try {
      // What the dialog adds is one step, named after the picture when one came with it.
      history_.perform(document_, "Add chunks", [this] { addFromChunkDialog(); });
    } catch (const std::exception& error) {
      report(std::string("The chunks could not be added: ") + error.what());
    }
  }
  if (document_.kind == model::FileKind::animatedCursor) reloadPlayer();
  if (isRiff(document_)) showStatusText(document_.statusText);
}

void TFormANI::addFromChunkDialog() {
  const TFormChunk& dialog = *windows_.chunk;
  if (isRiff(document_)) {
    edit::Addition addition;
    {
      QuietHandlers quiet(treeHandlerAttached_, thumbnailHandlerAttached_);
      addition = edit::addChunks(document_, dialog.additions());
    }
    for (const std::string& line : addition.log) log_.add(line);
    if (addition.delaysChanged) thumbnailModel_->refreshDelays();
  }
  const edit::IconSource* source = dialog.imageSource();
  const std::optional<std::size_t> entry = dialog.selectedEntry();
  if (!source || !entry) return;
  edit::ImageAddition image;
  {
    QuietHandlers quiet(treeHandlerAttached_, thumbnailHandlerAttached_);
    image = edit::addImage(document_, *source, *entry);
  }
  for (const std::string& line : image.log) log_.add(line);
  if (image.added && image.picture) history_.nameStep("Add " + image.picture->name());
  if (!image.added) {
    if (!image.error.empty())
      host_.prompter.show({image.error, platform::MessageButtons::yes, platform::MessageIcon::error, {}});
    return;
  }
  thumbnailModel_->pictureInserted(image.pictureIndex);
  fitThumbnailColumns();
  if (image.delaysChanged) thumbnailModel_->refreshDelays();
  if (image.statusText) showStatusText(*image.statusText);
  if (document_.kind == model::FileKind::animatedCursor) reloadPlayer();
  selectChangedNode(image.picture);
}

// Removing changes what the player steps through: it stops first.
void TFormANI::ButMinusClick() {
  stopPlayer();
  stopSound();
  const model::Node* node = selectedTreeNode();
  if (!node) return;
  edit::Removal removal;
  {
    QuietHandlers quiet(treeHandlerAttached_, thumbnailHandlerAttached_);
    removal =
        history_.perform(document_, "Remove " + node->name(), [&] { return edit::removeChunk(document_, *node); });
  }
  if (!removal.removed) return;
  clearFieldView();
  if (removal.removedPicture >= 0) {
    thumbnailModel_->pictureRemoved(removal.removedPicture);
    fitThumbnailColumns();
  }
  if (removal.delaysChanged) thumbnailModel_->refreshDelays();
  if (removal.statusText) showStatusText(*removal.statusText);
  currentPictureIndex_ = std::clamp(currentPictureIndex_, 0, std::max(document_.imageCount - 1, 0));
  if (document_.kind == model::FileKind::animatedCursor) reloadPlayer();
  ButMinus->setEnabled(false);
  Removechunk1->setEnabled(false);
  // Without a node to select, the one the tree view moved to is listed.
  selectChangedNode(removal.select ? removal.select : treeModel_->nodeAt(TreeView1->currentIndex()));
}

void TFormANI::selectChangedNode(const model::Node* node) {
  if (!node) return;
  const std::optional<int> number = model::pictureNumber(node->name());
  const bool picture = number && *number >= 1 && *number <= thumbnailModel_->rowCount();
  const QModelIndex row = picture ? thumbnailModel_->index(*number - 1, 0) : QModelIndex();
  {
    // The tree's selection lists the node's fields; its picture is shown once, below.
    const bool thumbnails = thumbnailHandlerAttached_;
    thumbnailHandlerAttached_ = false;
    const QModelIndex index = treeModel_->indexOf(*node);
    TreeView1->scrollTo(index);
    if (TreeView1->currentIndex() == index)
      TreeView1Change(index);
    else
      TreeView1->setCurrentIndex(index);
    if (picture) {
      ListPreview->selectionModel()->setCurrentIndex(row,
                                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      ListPreview->scrollTo(row);
    }
    thumbnailHandlerAttached_ = thumbnails;
  }
  if (!picture) return;
  currentPictureIndex_ = row.row();
  ListPreviewSelectItem(row);
}

void TFormANI::reloadPlayer() {
  player_->load(&document_.ani, document_.imageCount);
  const bool runs = document_.ani.stepCount > 1 && document_.imageCount > 1;
  ButStart->setEnabled(runs);
  ButForward->setEnabled(false);
  ButBack->setEnabled(false);
}

void TFormANI::loadXcursorPlayer(int index) {
  if (document_.kind != model::FileKind::xcursor || player_->state() != preview::PlayerState::stopped) return;
  const auto timing = formats::xcursor::timingOf(document_, index);
  if (!timing || timing->nominalSize == playerNominalSize_) return;
  playerNominalSize_ = timing->nominalSize;
  std::vector<preview::AnimationPlayer::TimedFrame> frames;
  for (int picture : formats::xcursor::picturesOfSize(document_, timing->nominalSize))
    frames.push_back({static_cast<std::size_t>(picture), formats::xcursor::timingOf(document_, picture)->delay});
  player_->loadFrames(std::move(frames));
}

void TFormANI::showStatusText(const std::string& text) {
  Panel5->setText(QString::fromStdString(text));
  Panel5->setToolTip(Panel5->text());
}

}  // namespace delvix::app
