#pragma once

#include <QKeySequence>
#include <QString>

class QAction;
class QWidget;

namespace delvix::app {

// "Open" and Ctrl+O give "Open (Ctrl+O)"; without a key the hint stays as it is.
QString hintWithShortcut(const QString& hint, const QKeySequence& key);

// The button's hint shows the key of `command` as well, whatever the hint says when it is shown (Save all
// becomes Save or Save group as files are opened).
void showShortcutInHint(QWidget* button, const QAction* command);

}  // namespace delvix::app
