#include "app/browsers/image_browser.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>

#include "app/browsers/browser_pictures.h"
#include "browse/browser_columns.h"
#include "browse/file_icon.h"
#include "widgets/picture_box.h"
#include "widgets/widget_names.h"

namespace delvix::app {

namespace {

QString boxName(std::string_view extension) {
  QString name = QString::fromLatin1(extension.data(), static_cast<qsizetype>(extension.size()));
  name[0] = name[0].toUpper();
  return "Check" + name;
}

bool tickedAtStart(std::string_view extension) {
  return std::ranges::find(browse::imageBrowserDefaultExtensions, extension) !=
         std::end(browse::imageBrowserDefaultExtensions);
}

QIcon rowPicture(const browse::FolderRow& file, const browse::FileSummary& summary) {
  if (summary.access == browse::Access::read && browse::showsOwnIcon(file.path)) {
    const gfx::Image icon = browse::fileIcon(file.path);
    if (!icon.empty()) return QIcon(QPixmap::fromImage(keyedImage(icon)));
  }
  return fixedRowPicture(browse::fixedPictureOf(file));
}

}  // namespace

TFormInfo::TFormInfo(QWidget* owner)
    : FolderBrowser(owner, "FormInfo", "Quick Info (images)", {"Name", "icons", "cursors", "bitmaps"}) {
  resize(470, 430);
  LockButton = addToolButton("LockButton", "Lock filter's updating", lockPicture(), true);
  connect(LockButton, &QToolButton::clicked, this, &TFormInfo::LockButtonClick);

  auto* filters = named(new QWidget(this), "Filters");
  auto* grid = new QGridLayout(filters);
  grid->setContentsMargins(0, 0, 0, 0);
  // "ani", "cur" and "ico" on the first row, the modules on the second.
  for (std::size_t i = 0; i < filterBoxes_.size(); ++i) {
    const std::string_view extension = browse::imageBrowserExtensions[i];
    auto* box = new QCheckBox(QString::fromLatin1(extension.data(), static_cast<qsizetype>(extension.size())), filters);
    box->setObjectName(boxName(extension));
    box->setChecked(tickedAtStart(extension));
    connect(box, &QCheckBox::clicked, this, &TFormInfo::CheckAniClick);
    const int row = i < 3 ? 0 : 1;
    grid->addWidget(box, row, static_cast<int>(row == 0 ? i : i - 3));
    filterBoxes_[i] = box;
  }
  Label2 = named(new QLabel(filters), "Label2");
  grid->addWidget(Label2, 0, 4, 1, 2, Qt::AlignRight);
  grid->setColumnStretch(5, 1);
  addControlRow(filters);
  fileCountChanged(0);
}

browse::ExtensionFilter TFormInfo::filter() const {
  std::vector<std::string> extensions;
  for (std::size_t i = 0; i < filterBoxes_.size(); ++i)
    if (filterBoxes_[i]->isChecked()) extensions.emplace_back(browse::imageBrowserExtensions[i]);
  return browse::ExtensionFilter(std::move(extensions));
}

browse::FileSummary TFormInfo::describeFile(QTreeWidgetItem& row, const browse::FolderRow& file) {
  browse::FileSummary summary = browse::summarizeFile(file.path);
  const auto columns = browse::imageColumns(summary);
  for (std::size_t i = 0; i < columns.size(); ++i)
    row.setText(static_cast<int>(i) + 1, QString::fromStdString(columns[i]));
  row.setIcon(0, rowPicture(file, summary));
  return summary;
}

void TFormInfo::fileCountChanged(std::size_t count) { Label2->setText(QString("All files: %1").arg(count)); }

void TFormInfo::CheckAniClick() {
  if (!LockButton->isChecked()) relist();
}

void TFormInfo::LockButtonClick() {
  if (!LockButton->isChecked()) relist();
}

}  // namespace delvix::app
