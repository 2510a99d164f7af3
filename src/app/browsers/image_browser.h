#pragma once

#include <array>

#include "app/browsers/folder_browser.h"

class QCheckBox;
class QLabel;

namespace delvix::app {

// "Quick Info (images)": how many icons, cursors and bitmaps each icon file and program module of a folder
// holds, without opening them; filter boxes choose the extensions listed.
class TFormInfo : public FolderBrowser {
  Q_OBJECT

 public:
  explicit TFormInfo(QWidget* owner);

 public slots:
  void CheckAniClick();
  void LockButtonClick();

 protected:
  browse::ExtensionFilter filter() const override;
  browse::FileSummary describeFile(QTreeWidgetItem& row, const browse::FolderRow& file) override;
  void fileCountChanged(std::size_t count) override;

 private:
  // In the order of browse::imageBrowserExtensions.
  std::array<QCheckBox*, std::size(browse::imageBrowserExtensions)> filterBoxes_{};
  QToolButton* LockButton = nullptr;
  QLabel* Label2 = nullptr;
};

}  // namespace delvix::app
