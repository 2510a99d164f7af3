#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "controls/xi_button.h"
#include "edit/add_chunks.h"
#include "edit/add_image.h"
#include "model/document.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QScrollArea;
class QTabWidget;
class QToolButton;

namespace delvix::app {
class CommandMessages;
class MessageLog;
class PictureBox;
}  // namespace delvix::app

namespace delvix::platform {
class Prompter;
}

namespace delvix::dialogs {

// "Add chunks": the INFO items, rates, sequence and fact that the open file lacks, and one image taken from
// another icon or cursor file. The dialog only gathers what is asked for; the window adds it.
class TFormChunk : public controls::XiDialog {
  Q_OBJECT

 public:
  explicit TFormChunk(QWidget* owner);

  // Prepares the pages for `document` and opens the dialog (modal to its owner, without waiting); the
  // caller's handler of finished() reads what OK asked for. "..." asks `prompter` for the file and reports
  // through it and `log`, which must outlive the dialog's use of them.
  void showFor(const model::Document& document, platform::Prompter& prompter, app::MessageLog& log);

  // The ticked boxes that can be used, with their texts.
  edit::ChunkAdditions additions() const;
  // The file to take an image from and its selected entry, when an image is asked for.
  const edit::IconSource* imageSource() const;
  std::optional<std::size_t> selectedEntry() const;

  void FormShow(const model::Document& document);
  void CheckBoxMouseUp(std::size_t item);
  void EditMouseMove(QLineEdit* edit);
  void SpeedButtonAddClick();
  void ListBox1Click();
  void Panel1Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct InfoRow {
    QCheckBox* check = nullptr;
    QLineEdit* edit = nullptr;
  };

  QWidget* createInfoPage();
  QWidget* createChunkPage();
  QWidget* createImagePage();
  void clearPreviews();
  void showPreview(const edit::IconSource& read, std::size_t entry);
  void showError(const std::string& text);

  platform::Prompter* prompter_ = nullptr;
  app::MessageLog* log_ = nullptr;
  // The messages of reading a source file, shown as one box when it is read and shown.
  app::CommandMessages* commandMessages_ = nullptr;
  std::string folder_;
  std::unique_ptr<edit::IconSource> source_;

  const edit::IconSource* source() const { return source_.get(); }

  QTabWidget* PageControl1 = nullptr;
  std::array<InfoRow, 10> info_{};
  QCheckBox* CheckBoxrate = nullptr;
  QCheckBox* CheckBoxseq = nullptr;
  QCheckBox* CheckFact = nullptr;
  QToolButton* SpeedButtonAdd = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLabel* Label2 = nullptr;
  QListWidget* ListBox1 = nullptr;
  QLabel* Panel1 = nullptr;
  QScrollArea* ScrollBox1 = nullptr;
  app::PictureBox* PaintBox1 = nullptr;
  app::PictureBox* PaintBox2 = nullptr;
  controls::TXiButton* XiButton1 = nullptr;
  controls::TXiButton* XiButton2 = nullptr;
};

}  // namespace delvix::dialogs
