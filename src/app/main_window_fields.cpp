// The field table: a listing of the selected node shown in ListView1 and its edit strip.
#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

#include "app/main_window.h"
#include "fieldview/list_node.h"

namespace delvix::app {

namespace {

QIcon markIcon(fieldview::Mark mark, const std::optional<std::uint32_t>& swatch) {
  QPixmap pixmap(swatch ? 28 : 12, 12);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  // The editable mark is a green dot, the read-only mark a grey one.
  p.setPen(Qt::NoPen);
  p.setBrush(mark == fieldview::Mark::editable ? QColor(0x3a, 0x9b, 0x4a) : QColor(0xb0, 0xb4, 0xba));
  p.drawEllipse(QRectF(2, 2, 8, 8));
  if (swatch) {
    p.setPen(Qt::black);
    p.setBrush(QColor::fromRgb(static_cast<QRgb>(*swatch | 0xFF000000u)));
    p.drawRect(QRectF(14.5, 0.5, 12, 11));
  }
  return QIcon(pixmap);
}

}  // namespace

QLineEdit* TFormANI::editBoxOf(fieldview::EditBox box) const {
  switch (box) {
    case fieldview::EditBox::edit1: return Edit1;
    case fieldview::EditBox::editInfo: return EditInfo;
    case fieldview::EditBox::editR: return EditR;
    case fieldview::EditBox::editG: return EditG;
    case fieldview::EditBox::editB: return EditB;
    case fieldview::EditBox::editRes: return EditRes;
    case fieldview::EditBox::editMask1: return EditMask1;
    case fieldview::EditBox::editMask2: return EditMask2;
    case fieldview::EditBox::editColor: return EditColor;
    case fieldview::EditBox::editMask: return EditMask;
  }
  return Edit1;
}

void TFormANI::listSelectedNode(const model::Node& node) {
  fieldview::FieldSettings settings{settings_.editTable, settings_.editData, settings_.editFact, currentPictureIndex_};
  showListing(fieldview::listNode(document_, node, settings, zoom_));
}

void TFormANI::showListing(const fieldview::Listing& listing) {
  if (listing.outcome == fieldview::Outcome::unchanged) return;
  clearFieldView();
  if (listing.editMode) editMode_ = *listing.editMode;
  QStringList captions;
  for (const fieldview::Column& column : listing.columns) captions << QString::fromStdString(column.caption);
  ListView1->setHeaderLabels(captions);
  for (int i = 0; i < 3; ++i) {
    const fieldview::Column& column = listing.columns[static_cast<std::size_t>(i)];
    ListView1->header()->resizeSection(i, column.width);
    ListView1->setColumnHidden(i, column.width == 0 && i == 2);
  }
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(listing.rows.size()));
  for (std::size_t i = 0; i < listing.rows.size(); ++i) {
    const fieldview::Row row = listing.rows.at(i);
    auto* item = new QTreeWidgetItem(
        {QString::fromStdString(row.caption), QString::fromStdString(row.value), QString::fromStdString(row.third)});
    item->setIcon(0, markIcon(row.mark, row.swatch));
    item->setTextAlignment(1, Qt::AlignCenter);
    item->setTextAlignment(2, Qt::AlignCenter);
    item->setData(0, Qt::UserRole, row.mark == fieldview::Mark::editable);
    items << item;
  }
  ListView1->addTopLevelItems(items);

  for (QLineEdit* edit : {Edit1, EditInfo, EditR, EditG, EditB, EditRes, EditMask1, EditMask2, EditColor, EditMask})
    edit->hide();
  for (const fieldview::ShownBox& shown : listing.boxes) {
    QLineEdit* edit = editBoxOf(shown.box);
    edit->setToolTip(QString::fromStdString(shown.hint));
    if (shown.maxLength) edit->setMaxLength(*shown.maxLength);
    edit->show();
  }
  const fieldview::ButtonStates& b = listing.buttons;
  auto set = [](QWidget* widget, const std::optional<bool>& state) {
    if (state) widget->setEnabled(*state);
  };
  set(ButApply, b.apply);
  set(ButAdd, b.add);
  set(ButRemove, b.remove);
  set(ButNext, b.next);
  set(ButPrev, b.previous);
  set(ButUp, b.zoomIn);
  set(ButDown, b.zoomOut);
  if (b.removeChunk) {
    ButMinus->setEnabled(*b.removeChunk);
    Removechunk1->setEnabled(*b.removeChunk);
  }
  if (b.saveAll) {
    ButSaveAll->setEnabled(*b.saveAll);
    Saveall1->setEnabled(*b.saveAll);
  }
}

}  // namespace delvix::app
