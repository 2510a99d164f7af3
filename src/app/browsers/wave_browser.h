#pragma once

#include "app/browsers/folder_browser.h"

namespace delvix::app {

// "Quick info (wav)": the wave files of a folder with their size, playing time and format; choosing one
// plays it, unless ButInOutPlay is down.
class TFormWav : public FolderBrowser {
  Q_OBJECT

 public:
  explicit TFormWav(QWidget* owner);
  ~TFormWav() override;

  // The sound output finished a sound, whoever had started it.
  void soundFinished() { playing_ = false; }
  // Whether the sound that is playing was started here.
  bool playing() const { return playing_; }

 public slots:
  void ButInOutPlayClick();
  void FilesBrowseClick(QTreeWidgetItem* row);

 protected:
  browse::ExtensionFilter filter() const override;
  browse::FileSummary describeFile(QTreeWidgetItem& row, const browse::FolderRow& file) override;
  void rowChosen(QTreeWidgetItem* row) override;
  bool boxesFirstFailure() const override { return true; }
  void hideEvent(QHideEvent* event) override;

 private:
  void play(QTreeWidgetItem* row);
  void stopSound();

  QToolButton* ButInOutPlay = nullptr;
  bool playing_ = false;
};

}  // namespace delvix::app
