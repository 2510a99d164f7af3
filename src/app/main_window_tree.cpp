// The structure tree and the thumbnail list, and how a selection in one moves the other.
#include <QKeyEvent>
#include <QTreeView>

#include "app/main_window.h"
#include "app/thumbnail_model.h"
#include "app/tree_model.h"
#include "model/picture_index.h"

namespace delvix::app {

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
  if (const auto picture = model::pictureIndexOf(*node)) selectPictureThumbnail(*picture);
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
  currentPictureIndex_ = index;
  const QModelIndex row = thumbnailModel_->index(index, 0);
  ListPreview->scrollTo(row);
  ListPreview->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TFormANI::ListPreviewSelectItem(const QModelIndex& current) {
  if (!thumbnailHandlerAttached_ || !current.isValid()) return;
  const int index = current.row();
  const model::Node* node = document_.tree.findFirst(model::pictureName(index + 1));
  if (!node) return;
  if (index != currentPictureIndex_) {
    const QModelIndex nodeIndex = treeModel_->indexOf(*node);
    TreeView1->scrollTo(nodeIndex);
    currentPictureIndex_ = index;
    TreeView1->setCurrentIndex(nodeIndex);
  }
}

}  // namespace delvix::app
