// The structure tree and the thumbnail list, and how a selection in one moves the other.
#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>
#include <cctype>

#include "app/main_window/main_window.h"
#include "app/thumbnail_model.h"
#include "app/tree_model.h"
#include "model/picture_index.h"
#include "preview/frame_render.h"
#include "widgets/picture_box.h"
#include "widgets/waveform_box.h"

namespace delvix::app {

namespace {

// By what was read, not by the name: a copy of an icon without its extension loses pictures as the icon does.
bool removableKind(model::FileKind kind) {
  return kind == model::FileKind::iconFile || kind == model::FileKind::animatedCursor;
}

}  // namespace

void TFormANI::attachHandlers(bool thumbnails) {
  treeHandlerAttached_ = true;
  thumbnailHandlerAttached_ = thumbnails;
}

void TFormANI::detachHandlers() {
  treeHandlerAttached_ = false;
  thumbnailHandlerAttached_ = false;
}

void TFormANI::TreeView1Change(const QModelIndex& current) {
  if (!treeHandlerAttached_) return;
  const model::Node* node = treeModel_->nodeAt(current);
  if (!node) return;
  listSelectedNode(*node);
}

void TFormANI::TreeView1Collapsed(const QModelIndex& index) { TreeView1->setCurrentIndex(index); }

void TFormANI::TreeView1Expanded(const QModelIndex& index) { TreeView1->setCurrentIndex(index); }

void TFormANI::TreeView1KeyPress(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return;
  const QModelIndex current = TreeView1->currentIndex();
  if (!current.isValid() || treeModel_->rowCount(current) == 0) return;
  TreeView1->setExpanded(current, !TreeView1->isExpanded(current));
  event->accept();
}

bool TFormANI::eventFilter(QObject* watched, QEvent* event) {
  if (ListPreview && watched == ListPreview->viewport() && event->type() == QEvent::MouseButtonPress) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QModelIndex pressed = ListPreview->indexAt(mouse->position().toPoint());
    if (pressed.isValid() && pressed.row() == ListPreview->currentIndex().row()) ListPreviewSelectItem(pressed);
    return false;
  }
  if (filterBitKey(watched, event)) return true;
  if ((watched == PreviewBox || watched == PaintAlpha) && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton) pickPixel(watched, mouse->position().toPoint());
    return false;
  }
  if (copyFieldRow(watched, event)) return true;
  // Enter applies from every box of the edit strip, as long as Apply is enabled.
  if (isValueBox(watched) && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && ButApply->isEnabled()) {
      ButApplyClick();
      return true;
    }
  }
  if (watched == TreeView1 && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      TreeView1KeyPress(key);
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TFormANI::selectPictureThumbnail(int index) {
  if (index < 0 || index >= thumbnailModel_->rowCount()) return;
  const QModelIndex row = thumbnailModel_->index(index, 0);
  ListPreview->scrollTo(row);
  // Another node of the picture on show leaves the preview as it is.
  if (ListPreview->currentIndex().row() == index) return;
  currentPictureIndex_ = index;
  ListPreview->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TFormANI::ListPreviewSelectItem(const QModelIndex& current) {
  if (!thumbnailHandlerAttached_ || !current.isValid()) return;
  try {
    const int index = current.row();
    const model::Node* node = preview::pictureNode(document_, index);
    if (!node) return;
    if (index != currentPictureIndex_) {
      const QModelIndex nodeIndex = treeModel_->indexOf(*node);
      TreeView1->scrollTo(nodeIndex);
      currentPictureIndex_ = index;
      TreeView1->setCurrentIndex(nodeIndex);
    }
    const auto position = static_cast<std::size_t>(index);
    if (position < document_.pictures.size()) {
      const std::string& bits = document_.pictures[position].bitCountText;
      const int bitCount = bits.empty() || bits.size() > 2 ? 0 : std::stoi(bits);
      if (bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 || bitCount == 32)
        shownBitCount_ = bitCount;
    }
    loadXcursorPlayer(index);
    showPicture(index);
    enableBlendToggles();
    const bool removable = document_.imageCount >= 2 && removableKind(document_.kind);
    ButMinus->setEnabled(removable);
    Removechunk1->setEnabled(removable);
  } catch (...) {
    log_.add("Error: select item");
  }
}

}  // namespace delvix::app
