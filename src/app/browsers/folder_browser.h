#pragma once

#include <QTimer>
#include <QWidget>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#include "app/browsers/browser_services.h"
#include "browse/file_summary.h"
#include "browse/folder_listing.h"

class QComboBox;
class QStatusBar;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

namespace delvix::app {

class GridLineDelegate;

// What the two quick-info browsers share: a tool window listing one folder at a time, its folders first,
// with a drive list, a status bar showing the folder, grid lines, and a file row opened in the main window by
// a double click, Enter or "Open file". Rows are added a slice at a time, so the window answers while a large
// folder is read; listing another folder drops what was left of the last one.
class FolderBrowser : public QWidget {
  Q_OBJECT

 public:
  ~FolderBrowser() override;

  void setServices(BrowserServices services);

  // Lists `folder` (made absolute and normal), selecting its top row. A folder that cannot be read leaves
  // the shown listing as it was and says why in the status bar and the message log.
  void showFolder(const std::filesystem::path& folder);
  const std::filesystem::path& currentFolder() const { return folder_; }
  // Whether rows of the last listing are still to come.
  bool filling() const { return listing_.has_value(); }
  // The file or folder a row leads to.
  static std::filesystem::path pathOf(const QTreeWidgetItem& row);
  static bool isFileRow(const QTreeWidgetItem& row);

 public slots:
  void DisksBrowseChange(int index);
  void FilesBrowseDblClick(QTreeWidgetItem* row);
  void OpenToolButtonClick();
  void ToolButton1Click();

 protected:
  FolderBrowser(QWidget* owner, const char* name, const char* caption, const QStringList& columns);

  // The files this browser lists.
  virtual browse::ExtensionFilter filter() const = 0;
  // Fills in a file row's columns and picture, and gives what was found out about the file.
  virtual browse::FileSummary describeFile(QTreeWidgetItem& row, const browse::FolderRow& file) = 0;
  // The user chose a row (the row added or selected by a listing is not chosen); null when none is selected.
  virtual void rowChosen(QTreeWidgetItem* row) { (void)row; }
  virtual void fileCountChanged(std::size_t count) { (void)count; }
  // Whether the first file of a listing that could not be read is reported in a message box as well.
  virtual bool boxesFirstFailure() const { return false; }

  // Another row of controls, between the drive list and the files.
  void addControlRow(QWidget* row);
  QToolButton* addToolButton(const char* name, const char* hint, const QIcon& picture, bool checkable);
  // Lists the current folder again, selecting its top row and focusing the list.
  void relist();

  const BrowserServices& services() const { return services_; }
  void log(const std::string& line) const;

  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  QComboBox* DisksBrowse = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QToolButton* ToolButton1 = nullptr;
  QToolButton* OpenToolButton = nullptr;
  QTreeWidget* FilesBrowse = nullptr;
  QStatusBar* StatusBar1 = nullptr;

 private:
  void fillSlice();
  void addRow(const browse::FolderRow& row);
  void reportFailure(const browse::FolderRow& file, const std::string& reason);
  void fillDriveList();
  void selectTopRow();
  void enableOpenButton();
  void currentRowChanged(QTreeWidgetItem* row);
  void openRow(QTreeWidgetItem* row);
  void showStatus(const QString& text);

  BrowserServices services_;
  QVBoxLayout* layout_ = nullptr;
  GridLineDelegate* gridLines_ = nullptr;
  std::filesystem::path folder_;
  // The listing being shown and the next of its rows to add.
  std::optional<browse::FolderListing> listing_;
  std::size_t nextRow_ = 0;
  std::size_t filesListed_ = 0;
  bool failureBoxed_ = false;
  QTimer fillTimer_;
  bool centred_ = false;
};

}  // namespace delvix::app
