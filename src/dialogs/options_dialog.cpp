#include "dialogs/options_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>
#include <tuple>

#include "widgets/pictures.h"
#include "widgets/widget_names.h"

namespace delvix::dialogs {

namespace {

using app::named;

QCheckBox* checkBox(QVBoxLayout* column, const char* name, const char* caption) {
  auto* box = named(new QCheckBox(QString::fromLatin1(caption)), name);
  column->addWidget(box);
  return box;
}

// A tab: its picture beside a group box of check boxes.
QVBoxLayout* tab(QTabWidget* tabs, const char* name, const char* caption, const char* groupCaption,
                 app::ToolPicture picture) {
  auto* page = named(new QWidget(tabs), name);
  auto* row = new QHBoxLayout(page);
  auto* image = new QLabel(page);
  image->setPixmap(app::toolIcon(picture).pixmap(48, 48));
  image->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
  row->addWidget(image);
  auto* group = new QGroupBox(QString::fromLatin1(groupCaption), page);
  auto* column = new QVBoxLayout(group);
  row->addWidget(group, 1);
  tabs->addTab(page, QString::fromLatin1(caption));
  return column;
}

constexpr int shown = 8;
constexpr int hidden = 7;
constexpr int editable = 0;
constexpr int readOnly = 1;

}  // namespace

TFormOptions::TFormOptions(QWidget* owner) : XiDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("FormOptions");
  setWindowTitle("Options");
  auto* layout = new QVBoxLayout(this);
  PageControl1 = named(new QTabWidget(this), "PageControl1");
  QVBoxLayout* show = tab(PageControl1, "TabShow", "Show", "Values", app::ToolPicture::quickInfoImages);
  CheckTable = checkBox(show, "CheckTable", "color_table");
  CheckColor = checkBox(show, "CheckColor", "color_bitmap");
  CheckMask = checkBox(show, "CheckMask", "mask_bitmap");
  QVBoxLayout* edit = tab(PageControl1, "TabEdit", "Edit", "Values", app::ToolPicture::options);
  CheckEditTable = checkBox(edit, "CheckEditTable", "color_table");
  CheckDataBitmap = checkBox(edit, "CheckDataBitmap", "color_bitmap");
  CheckEditFact = checkBox(edit, "CheckEditFact", "fact_chunk");
  QVBoxLayout* resources =
      tab(PageControl1, "TabResources", "Resources", "From exe, dll, ocx, cpl, src files", app::ToolPicture::open);
  CheckIcon = checkBox(resources, "CheckIcon", "icons");
  CheckCursor = checkBox(resources, "CheckCursor", "cursors");
  CheckBitmap = checkBox(resources, "CheckBitmap", "bitmaps");
  layout->addWidget(PageControl1);
  CheckSave = named(new QCheckBox("Save options", this), "CheckSave");
  layout->addWidget(CheckSave);

  std::tie(XiButton1, XiButton2) = addOkCancelRow(layout);
  connect(XiButton1, &QPushButton::clicked, this, &TFormOptions::XiButton1Click);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormOptions::showFor(app::Settings& settings) {
  settings_ = &settings;
  FormShow();
  open();
  if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
}

void TFormOptions::FormShow() {
  if (!settings_) return;
  const app::Settings& s = *settings_;
  CheckTable->setChecked(s.table == shown);
  CheckColor->setChecked(s.color == shown);
  CheckMask->setChecked(s.mask == shown);
  CheckEditTable->setChecked(s.editTable == editable);
  CheckDataBitmap->setChecked(s.editData == editable);
  CheckEditFact->setChecked(s.editFact == editable);
  CheckIcon->setChecked(s.icons);
  CheckCursor->setChecked(s.cursors);
  CheckBitmap->setChecked(s.bitmaps);
  CheckSave->setChecked(s.saveOptions);
}

void TFormOptions::XiButton1Click() {
  if (!settings_) return;
  app::Settings& s = *settings_;
  s.table = CheckTable->isChecked() ? shown : hidden;
  s.color = CheckColor->isChecked() ? shown : hidden;
  s.mask = CheckMask->isChecked() ? shown : hidden;
  s.editTable = CheckEditTable->isChecked() ? editable : readOnly;
  s.editData = CheckDataBitmap->isChecked() ? editable : readOnly;
  s.editFact = CheckEditFact->isChecked() ? editable : readOnly;
  s.icons = CheckIcon->isChecked();
  s.cursors = CheckCursor->isChecked();
  s.bitmaps = CheckBitmap->isChecked();
  s.saveOptions = CheckSave->isChecked();
}

}  // namespace delvix::dialogs
