#include "widgets/elided_tips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

namespace delvix::app {

QString ElidedTipsDelegate::cutText(const QAbstractItemView& view, const QModelIndex& index) const {
  QStyleOptionViewItem option;
  option.initFrom(view.viewport());
  option.font = view.font();
  option.fontMetrics = QFontMetrics(option.font);
  option.rect = view.visualRect(index);
  option.decorationSize = view.iconSize();
  option.textElideMode = view.textElideMode();
  return cutText(view, option, index);
}

QString ElidedTipsDelegate::cutText(const QAbstractItemView& view, QStyleOptionViewItem option,
                                    const QModelIndex& index) const {
  if (!index.isValid()) return {};
  initStyleOption(&option, index);
  if (option.text.isEmpty()) return {};
  const QStyle* style = view.style() ? view.style() : QApplication::style();
  // The style keeps a margin on each side of the text when it paints it.
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
  const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &option, &view);
  const bool fits = option.fontMetrics.horizontalAdvance(option.text) <= textRect.width() - 2 * margin &&
                    !option.text.contains(QLatin1Char('\n'));
  return fits ? QString() : option.text;
}

bool ElidedTipsDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) {
  if (event && view && event->type() == QEvent::ToolTip) {
    if (const QString whole = cutText(*view, option, index); !whole.isEmpty()) {
      QToolTip::showText(event->globalPos(), whole, view, view->visualRect(index));
      return true;
    }
  }
  return QStyledItemDelegate::helpEvent(event, view, option, index);
}

}  // namespace delvix::app
