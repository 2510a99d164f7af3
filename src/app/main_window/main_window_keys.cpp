// Keys that work across the main window: Enter in the edit strip, Ctrl+C in the field table, the zoom keys
// shown in their buttons' hints.
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeView>

#include "app/field_table_model.h"
#include "app/main_window/main_window.h"
#include "app/shortcut_hint.h"

namespace delvix::app {

void TFormANI::createKeys() {
  for (QLineEdit* box : {Edit1, EditInfo, EditR, EditG, EditB, EditRes, EditMask1, EditMask2, EditColor, EditMask})
    box->installEventFilter(this);
  ListView1->installEventFilter(this);
  showShortcutInHint(ButUp, ZoomIn1);
  showShortcutInHint(ButDown, ZoomOut1);
}

bool TFormANI::isValueBox(const QObject* watched) const {
  for (const QLineEdit* box :
       {Edit1, EditInfo, EditR, EditG, EditB, EditRes, EditMask1, EditMask2, EditColor, EditMask})
    if (watched == box) return true;
  return false;
}

bool TFormANI::copyFieldRow(QObject* watched, QEvent* event) {
  if (watched != ListView1) return false;
  const bool override = event->type() == QEvent::ShortcutOverride;
  if (!override && event->type() != QEvent::KeyPress) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (!key->matches(QKeySequence::Copy)) return false;
  // Taking the key from the window's Copy frame first, then copying the row when it arrives.
  key->accept();
  if (override) return true;
  if (const auto row = selectedFieldRow()) {
    QStringList cells;
    for (int column = 0; column < fieldModel_->columnCount(); ++column)
      if (!ListView1->isColumnHidden(column))
        cells << fieldModel_->index(static_cast<int>(*row), column).data().toString();
    QGuiApplication::clipboard()->setText(cells.join('\t'));
  }
  return true;
}

}  // namespace delvix::app
