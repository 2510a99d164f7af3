#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QTreeWidget;

namespace delvix::app {

// The findings of a cursor theme check for one folder, a row each: severity, cursor, where and what. The
// check itself is the core's (theme::lintThemeFolder); Check Again runs it anew after the theme was fixed.
class ThemeLintWindow : public QDialog {
 public:
  explicit ThemeLintWindow(QWidget* parent);

  void check(const QString& folder);

 private:
  QString folder_;
  QLabel* summary_ = nullptr;
  QTreeWidget* findings_ = nullptr;
};

}  // namespace delvix::app
