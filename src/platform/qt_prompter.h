#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "platform/prompter.h"

namespace delvix::platform {

// The prompter of the program: Qt's file dialogs and message boxes, over the window given.
class QtPrompter : public Prompter {
 public:
  void setParent(QWidget* parent) { parent_ = parent; }

  std::optional<std::string> openFile(const FileRequest& request) override;
  std::optional<std::string> saveFile(const FileRequest& request) override;
  void show(const Message& message) override;
  UnsavedChoice askToSave(const std::string& documentName) override;
  bool confirm(const Message& question) override;

 private:
  QPointer<QWidget> parent_;
};

// Turns "description|*.a;*.b|..." into Qt's name filters, "description (*.a *.b)".
QStringList qtNameFilters(const std::string& filter);
// The extension of a Qt name filter's first pattern ("Icon files (*.ico)" gives "ico"); empty for "*".
QString defaultSuffixOf(const QString& nameFilter);

}  // namespace delvix::platform
