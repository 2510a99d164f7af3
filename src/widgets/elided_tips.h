#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

namespace delvix::app {

// Draws cells as usual and gives a cell whose text is cut short a tooltip with the whole text; a cell that
// shows its whole text keeps the model's own tooltip.
class ElidedTipsDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  // The whole text of cell `index` of `view` when its column is too narrow to show it (the view elides it);
  // an empty text when it fits.
  QString cutText(const QAbstractItemView& view, const QModelIndex& index) const;

  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;

 private:
  QString cutText(const QAbstractItemView& view, QStyleOptionViewItem option, const QModelIndex& index) const;
};

}  // namespace delvix::app
