#include <QBoxLayout>
#include <QKeyEvent>
#include <QScopedValueRollback>

#include "controls/xi_button.h"

namespace delvix::controls {

namespace {

TXiButton* cancelButtonOf(QDialog* dialog) {
  for (TXiButton* button : dialog->findChildren<TXiButton*>())
    if (button->isCancel() && button->isEnabled() && button->isVisibleTo(dialog)) return button;
  return nullptr;
}

TXiButton* newButton(const QString& caption, QWidget* parent, TColorScheme scheme) {
  auto* button = new TXiButton(caption, parent);
  button->SetColorScheme(scheme);
  button->setGradient(true);
  button->setHotTrack(true);
  button->setGlyphLayout(TButtonLayout::blGlyphLeft);
  button->setSpacing(4);
  return button;
}

}  // namespace

XiDialog::XiDialog(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {}

void XiDialog::reject() {
  TXiButton* cancel = rejecting_ ? nullptr : cancelButtonOf(this);
  if (!cancel) {
    QDialog::reject();
    return;
  }
  const QScopedValueRollback guard(rejecting_, true);
  cancel->click();  // its modal result decides whether the dialog closes
}

void XiDialog::keyPressEvent(QKeyEvent* event) {
  if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) && !event->isAutoRepeat()) {
    for (TXiButton* button : findChildren<TXiButton*>()) {
      const QKeySequence accelerator = QKeySequence::mnemonic(button->text());
      if (accelerator.isEmpty() || accelerator[0].key() != event->key()) continue;
      if (!button->isEnabled() || !button->isVisibleTo(this)) continue;
      event->accept();
      button->click();
      return;
    }
  }
  QDialog::keyPressEvent(event);
}

TXiButton* okButton(const QString& caption, QWidget* parent) {
  TXiButton* button = newButton(caption, parent, TColorScheme::csNeoDesert);
  button->setDefault(true);
  button->setModalResult(1);
  return button;
}

TXiButton* cancelButton(const QString& caption, QWidget* parent) {
  TXiButton* button = newButton(caption, parent, TColorScheme::csNeoSky);
  button->setCancel(true);
  button->setModalResult(2);
  return button;
}

TXiButton* plainButton(const QString& caption, QWidget* parent) {
  return newButton(caption, parent, TColorScheme::csNeoDesert);
}

std::pair<TXiButton*, TXiButton*> XiDialog::addOkCancelRow(QBoxLayout* layout) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  TXiButton* ok = okButton("OK", this);
  TXiButton* cancel = cancelButton("Cancel", this);
  ok->setObjectName("XiButton1");
  cancel->setObjectName("XiButton2");
  row->addWidget(ok);
  row->addWidget(cancel);
  layout->addLayout(row);
  return {ok, cancel};
}

}  // namespace delvix::controls
