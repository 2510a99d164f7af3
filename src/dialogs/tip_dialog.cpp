#include "dialogs/tip_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRandomGenerator>
#include <QVBoxLayout>

#include "dialogs/tips.h"
#include "widgets/pictures.h"
#include "widgets/widget_names.h"

namespace delvix::dialogs {

using app::named;

TFormTip::TFormTip(QWidget* owner) : XiDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("FormTip");
  setWindowTitle("Tip of the Day");
  auto* layout = new QVBoxLayout(this);
  auto* body = new QHBoxLayout;
  auto* picture = new QLabel(this);
  picture->setPixmap(app::toolIcon(app::ToolPicture::help).pixmap(48, 48));
  picture->setAlignment(Qt::AlignTop);
  body->addWidget(picture);
  auto* text = new QVBoxLayout;
  auto* heading = named(new QLabel("Did you know...", this), "Label1");
  QFont bold = heading->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.3);
  heading->setFont(bold);
  text->addWidget(heading);
  LabelTip = named(new QLabel(this), "LabelTip");
  LabelTip->setWordWrap(true);
  LabelTip->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  LabelTip->setFixedSize(320, 90);
  text->addWidget(LabelTip);
  body->addLayout(text);
  layout->addLayout(body);

  auto* bottom = new QHBoxLayout;
  CheckTips = named(new QCheckBox("always show tips at startup", this), "CheckTips");
  bottom->addWidget(CheckTips);
  bottom->addStretch();
  XiButton1 = named(controls::plainButton("Next Tip", this), "XiButton1");
  XiButton2 = named(controls::okButton("Close", this), "XiButton2");
  bottom->addWidget(XiButton1);
  bottom->addWidget(XiButton2);
  layout->addLayout(bottom);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(CheckTips, &QCheckBox::clicked, this, &TFormTip::CheckTipsClick);
  connect(XiButton1, &QPushButton::clicked, this, &TFormTip::XiButton1Click);
}

void TFormTip::showFor(bool& tipsAtStart) {
  tipsAtStart_ = &tipsAtStart;
  open();
}

void TFormTip::showEvent(QShowEvent* event) {
  XiDialog::showEvent(event);
  FormShow();
}

void TFormTip::FormShow() {
  CheckTips->setChecked(tipsAtStart_ && *tipsAtStart_);
  current_ = static_cast<int>(QRandomGenerator::global()->bounded(tipCount));
  showTip();
}

void TFormTip::CheckTipsClick() {
  if (tipsAtStart_) *tipsAtStart_ = CheckTips->isChecked();
}

void TFormTip::XiButton1Click() {
  current_ = (current_ + 1) % tipCount;
  showTip();
}

QString TFormTip::shownText() const { return LabelTip->text(); }

void TFormTip::showTip() { LabelTip->setText(QString::fromLatin1(tips[static_cast<std::size_t>(current_)])); }

TFormAbout::TFormAbout(QWidget* owner) : XiDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("FormAbout");
  setWindowTitle("About");
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(6);
  auto* picture = named(new QLabel(this), "Image1");
  picture->setPixmap(app::programPicture(96));
  picture->setAlignment(Qt::AlignCenter);
  layout->addWidget(picture);
  auto* name = named(new QLabel("Delvix", this), "Label1");
  QFont large = name->font();
  large.setBold(true);
  large.setPointSizeF(large.pointSizeF() * 1.6);
  name->setFont(large);
  name->setAlignment(Qt::AlignCenter);
  layout->addWidget(name);
  auto* version = named(new QLabel(QStringLiteral("v." DELVIX_VERSION), this), "Label2");
  version->setAlignment(Qt::AlignCenter);
  layout->addWidget(version);
  auto* purpose = named(new QLabel("Looks inside icon, cursor, animated cursor and wave files\n"
                                   "and the pictures of program modules.",
                                   this),
                        "Label3");
  purpose->setAlignment(Qt::AlignCenter);
  layout->addWidget(purpose);
  auto* ok = named(controls::okButton("OK", this), "XiButton1");
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace delvix::dialogs
