#pragma once

#include "controls/xi_button.h"
#include "widgets/settings.h"

class QCheckBox;
class QTabWidget;

namespace delvix::dialogs {

// "Options": which pixel data the field table lists and may edit, which resources a module read takes, and
// whether the settings are kept for the next run.
class TFormOptions : public controls::XiDialog {
  Q_OBJECT

 public:
  explicit TFormOptions(QWidget* owner);

  // Opens the dialog (without waiting) on `settings`, which "OK" writes back; the caller's handler of
  // accepted() applies them.
  void showFor(app::Settings& settings);

  void FormShow();
  void XiButton1Click();

 private:
  app::Settings* settings_ = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QCheckBox* CheckTable = nullptr;
  QCheckBox* CheckColor = nullptr;
  QCheckBox* CheckMask = nullptr;
  QCheckBox* CheckEditTable = nullptr;
  QCheckBox* CheckDataBitmap = nullptr;
  QCheckBox* CheckEditFact = nullptr;
  QCheckBox* CheckIcon = nullptr;
  QCheckBox* CheckCursor = nullptr;
  QCheckBox* CheckBitmap = nullptr;
  QCheckBox* CheckSave = nullptr;
  controls::TXiButton* XiButton1 = nullptr;
  controls::TXiButton* XiButton2 = nullptr;
};

}  // namespace delvix::dialogs
