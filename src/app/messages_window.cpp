#include "app/messages_window.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "widgets/widget_names.h"

namespace delvix::app {

namespace {

// The lines as Log.dat holds them: each ends with a line break.
QString logText(const std::vector<std::string>& lines) {
  QString text;
  for (const std::string& line : lines) text += QString::fromStdString(line) + '\n';
  return text;
}

}  // namespace

MessagesWindow::MessagesWindow(MessageLog& log, QWidget* owner)
    : QWidget(owner, Qt::Window), log_(log), view_(named(new QPlainTextEdit(this), "MessagesView")) {
  setObjectName("MessagesWindow");
  setWindowTitle("Messages");
  resize(720, 420);
  view_->setReadOnly(true);
  view_->setLineWrapMode(QPlainTextEdit::NoWrap);
  view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  auto* copy = named(new QPushButton("Copy", this), "MessagesCopy");
  auto* clear = named(new QPushButton("Clear", this), "MessagesClear");
  copy->setToolTip("Puts the whole log on the clipboard");
  clear->setToolTip("Empties the log");
  connect(copy, &QPushButton::clicked, this, &MessagesWindow::CopyClick);
  connect(clear, &QPushButton::clicked, this, &MessagesWindow::ClearClick);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(copy);
  buttons->addWidget(clear);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_);
  layout->addLayout(buttons);

  subscription_ = log_.listen({[this](std::string_view line) { lineAdded(line); },
                               [this] {
                                 pending_.clear();
                                 view_->clear();
                               }});
}

void MessagesWindow::bringUp() {
  show();
  raise();
  activateWindow();
}

void MessagesWindow::showEvent(QShowEvent* event) {
  // A hidden window follows nothing; it shows the whole log again when it comes back.
  pending_.clear();
  QString text = logText(log_.lines());
  text.chop(1);  // the view's last line needs no break after it
  view_->setPlainText(text);
  view_->moveCursor(QTextCursor::End);
  QWidget::showEvent(event);
}

void MessagesWindow::lineAdded(std::string_view line) {
  if (!isVisible()) return;
  if (pending_.isEmpty()) QTimer::singleShot(0, this, &MessagesWindow::showPendingLines);
  pending_ << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
}

void MessagesWindow::showPendingLines() {
  if (pending_.isEmpty()) return;
  view_->appendPlainText(pending_.join('\n'));
  pending_.clear();
}

void MessagesWindow::CopyClick() { QGuiApplication::clipboard()->setText(logText(log_.lines())); }

void MessagesWindow::ClearClick() { log_.clear(); }

}  // namespace delvix::app
