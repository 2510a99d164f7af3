#pragma once

#include "controls/xi_button.h"

class QCheckBox;
class QLabel;

namespace delvix::dialogs {

// "Tip of the Day": a tip chosen at random each time it opens, and the next one on request.
class TFormTip : public controls::XiDialog {
  Q_OBJECT

 public:
  explicit TFormTip(QWidget* owner);

  // Opens the dialog (without waiting); its check box changes `tipsAtStart` at once.
  void showFor(bool& tipsAtStart);
  int currentTip() const { return current_; }
  QString shownText() const;

  void FormShow();
  void CheckTipsClick();
  void XiButton1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void showTip();

  bool* tipsAtStart_ = nullptr;
  int current_ = 0;
  QLabel* LabelTip = nullptr;
  QCheckBox* CheckTips = nullptr;
  controls::TXiButton* XiButton1 = nullptr;
  controls::TXiButton* XiButton2 = nullptr;
};

// "About": the program's picture, name and version.
class TFormAbout : public controls::XiDialog {
  Q_OBJECT

 public:
  explicit TFormAbout(QWidget* owner);
};

}  // namespace delvix::dialogs
