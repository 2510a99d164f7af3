#pragma once

#include <QWidget>
#include <filesystem>

class QTextBrowser;

namespace delvix::app {

// The help pages shown inside the program, for a desktop with nothing that shows web pages: the page, its
// pictures and links, with Back, Forward and Contents.
class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* owner);
  void showPage(const std::filesystem::path& page);
  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
  std::filesystem::path contents_;
};

}  // namespace delvix::app
