// The pixel pages of a colour bitmap: paging, the pixels a row marks, picking a pixel on the preview, and the
// 0/1 boxes of 1-bit pictures.
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeView>

#include "app/field_table_model.h"
#include "app/main_window/main_window.h"
#include "app/tree_model.h"
#include "fieldview/list_node.h"
#include "fieldview/pixel_table.h"
#include "widgets/picture_box.h"

namespace delvix::app {

void TFormANI::showPixelPage(model::Node& colourBitmap, std::size_t page) {
  const fieldview::FieldSettings settings{settings_.editTable, settings_.editData, settings_.editFact};
  const fieldview::Listing listing = fieldview::listPixelPage(document_, colourBitmap, page, settings, zoom_);
  if (listing.rows.empty()) return;
  pixelPage_ = page;
  showListing(listing);
  hidePixelMarkers();
  ButApply->setEnabled(false);
}

void TFormANI::ButNextClick() {
  model::Node* node = selectedTreeNode();
  if (!node || node->name() != "color_bitmap") return;
  showPixelPage(*node, pixelPage_ + 1);
  TreeView1->setFocus();
}

void TFormANI::ButPrevClick() {
  model::Node* node = selectedTreeNode();
  if (!node || node->name() != "color_bitmap" || pixelPage_ == 0) return;
  showPixelPage(*node, pixelPage_ - 1);
  TreeView1->setFocus();
}

void TFormANI::selectPixelRow(const model::Node& node, std::size_t row) {
  fieldview::BoxTexts boxes;
  if (node.name() == "color_table") {
    boxes = fieldview::selectColourTableRow(node, row);
  } else if (node.name() == "color_bitmap") {
    const fieldview::PixelRowSelection selection = fieldview::selectPixelRow(node, pixelPage_, row);
    boxes = selection.boxes;
    if (const auto shape = fieldview::pixelTableShape(node)) shownBitCount_ = shape->bitCount;
    if (selection.mark)
      selectPixel(selection.mark->x, selection.mark->y);
    else
      hidePixelMarkers();
  }
  for (const auto& [box, text] : boxes)
    if (QLineEdit* edit = editBoxOf(box); edit->isVisible()) edit->setText(QString::fromStdString(text));
}

void TFormANI::pickPixel(QObject* box, const QPoint& position) {
  model::Node* node = selectedTreeNode();
  // While the player runs the preview shows another picture than the table's.
  if (!node || node->name() != "color_bitmap" || player_->state() == preview::PlayerState::playing) return;
  const auto* picture = qobject_cast<PictureBox*>(box);
  if (!picture) return;
  const int zoom = std::max(1, picture->zoom());
  const auto pick = fieldview::pickPixel(*node, position.x() / zoom, position.y() / zoom);
  if (!pick) return;
  if (pick->page != pixelPage_) showPixelPage(*node, pick->page);
  const QModelIndex row = fieldModel_->index(static_cast<int>(pick->row), 0);
  if (!row.isValid()) return;
  ListView1->setFocus();
  ListView1->scrollTo(row);
  ListView1->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool TFormANI::filterBitKey(QObject* watched, QEvent* event) {
  if ((watched != EditColor && watched != EditMask) || event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const QString text = key->text();
  const bool printable = !text.isEmpty() && text.at(0).isPrint();
  if (!printable || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) || text == "0")
    return false;
  static_cast<QLineEdit*>(watched)->insert("1");
  return true;
}

}  // namespace delvix::app
