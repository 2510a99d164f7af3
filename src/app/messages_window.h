#pragma once

#include <QStringList>
#include <QWidget>

#include "widgets/message_log.h"

class QPlainTextEdit;

namespace delvix::app {

// View > Messages: the message log as it grows (the lines Log.dat gets at exit), with Copy and Clear.
class MessagesWindow : public QWidget {
  Q_OBJECT
 public:
  MessagesWindow(MessageLog& log, QWidget* owner);
  // Shows the window over the others.
  void bringUp();

 public slots:
  void CopyClick();
  void ClearClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void lineAdded(std::string_view line);
  void showPendingLines();

  MessageLog& log_;
  QPlainTextEdit* view_;
  // Lines come one by one, up to thousands in one open; they are shown together once the program is idle.
  QStringList pending_;
  MessageLog::Subscription subscription_;
};

}  // namespace delvix::app
