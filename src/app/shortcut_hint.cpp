#include "app/shortcut_hint.h"

#include <QAction>
#include <QHelpEvent>
#include <QPointer>
#include <QToolTip>
#include <QWidget>

namespace delvix::app {

namespace {

class ShortcutHint : public QObject {
 public:
  ShortcutHint(QWidget* button, const QAction* command) : QObject(button), command_(command) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* button = qobject_cast<QWidget*>(watched);
    if (event->type() != QEvent::ToolTip || !button || !command_ || button->toolTip().isEmpty()) return false;
    const QString hint = hintWithShortcut(button->toolTip(), command_->shortcut());
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), hint, button);
    return true;
  }

 private:
  QPointer<const QAction> command_;
};

}  // namespace

QString hintWithShortcut(const QString& hint, const QKeySequence& key) {
  if (key.isEmpty()) return hint;
  return hint + " (" + key.toString(QKeySequence::NativeText) + ")";
}

void showShortcutInHint(QWidget* button, const QAction* command) {
  button->installEventFilter(new ShortcutHint(button, command));
}

}  // namespace delvix::app
