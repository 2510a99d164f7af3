#include "platform/qt_prompter.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <algorithm>

namespace delvix::platform {

namespace {

// A message box is kept narrow; its details may widen it to this many pixels, so that a reason fits a line.
constexpr int widestDetails = 760;
// What the box's icon and margins take beside its text.
constexpr int besideText = 100;

int detailsWidth(const QString& details, const QFont& font) {
  const QFontMetrics metrics(font);
  int widest = 0;
  for (const QString& line : details.split('\n')) widest = std::max(widest, metrics.horizontalAdvance(line));
  return std::min(widest + besideText, widestDetails);
}

std::optional<std::string> runFileDialog(QWidget* parent, const FileRequest& request, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, QString::fromStdString(request.caption));
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (!request.filter.empty()) dialog.setNameFilters(qtNameFilters(request.filter));
  // A name typed without an extension gets the one of the file type chosen.
  if (mode == QFileDialog::AcceptSave && !request.filter.empty()) {
    dialog.setDefaultSuffix(defaultSuffixOf(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) { dialog.setDefaultSuffix(defaultSuffixOf(filter)); });
  }
  // A folder opens the dialog there with an empty name; a file is chosen in its folder.
  const QString initial = QString::fromStdString(request.initialPath);
  if (!initial.isEmpty() && QFileInfo(initial).isDir())
    dialog.setDirectory(initial);
  else if (!initial.isEmpty())
    dialog.selectFile(initial);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

}  // namespace

QString defaultSuffixOf(const QString& nameFilter) {
  const qsizetype open = nameFilter.lastIndexOf('(');
  const QString first = nameFilter.mid(open + 1).section(' ', 0, 0).remove(')');
  const qsizetype dot = first.lastIndexOf('.');
  const QString suffix = dot < 0 ? QString() : first.mid(dot + 1);
  return suffix.contains('*') ? QString() : suffix;
}

QStringList qtNameFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString patterns = parts[i + 1].split(';', Qt::SkipEmptyParts).join(' ');
    // Qt takes the patterns from the last parentheses and shows the text whole, so a description's own
    // pattern list ("Icons (*.ico,*.cur)") gives way to the real one rather than showing twice.
    QString description = parts[i];
    const qsizetype open = description.lastIndexOf('(');
    if (description.endsWith(')') && open >= 0 && description.indexOf('*', open) >= 0)
      description = description.left(open).trimmed();
    filters << description + " (" + patterns + ")";
  }
  return filters;
}

std::optional<std::string> QtPrompter::openFile(const FileRequest& request) {
  return runFileDialog(parent_, request, QFileDialog::AcceptOpen);
}

std::optional<std::string> QtPrompter::saveFile(const FileRequest& request) {
  return runFileDialog(parent_, request, QFileDialog::AcceptSave);
}

void QtPrompter::show(const Message& message) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  if (message.icon == MessageIcon::error) icon = QMessageBox::Critical;
  if (message.icon == MessageIcon::information) icon = QMessageBox::Information;
  const QString caption = message.caption.empty() ? QStringLiteral("Delvix") : QString::fromStdString(message.caption);
  QMessageBox box(icon, caption, QString::fromStdString(message.text),
                  message.buttons == MessageButtons::ok ? QMessageBox::Ok : QMessageBox::Yes, parent_);
  if (!message.details.empty()) {
    const QString details = QString::fromStdString(message.details);
    box.setInformativeText(details);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
      grid->addItem(new QSpacerItem(detailsWidth(details, box.font()), 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                    grid->rowCount(), 0, 1, grid->columnCount());
  }
  // File names and reasons come from files: never read as markup.
  for (QLabel* label : box.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
  box.exec();
}

UnsavedChoice QtPrompter::askToSave(const std::string& documentName) {
  QMessageBox box(
      QMessageBox::Warning, QStringLiteral("Delvix"),
      QStringLiteral("Save the changes to \"%1\" before closing it?").arg(QString::fromStdString(documentName)),
      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent_);
  box.setInformativeText(QStringLiteral("Your changes will be lost if you don't save them."));
  box.setDefaultButton(QMessageBox::Save);
  switch (box.exec()) {
    case QMessageBox::Save: return UnsavedChoice::save;
    case QMessageBox::Discard: return UnsavedChoice::discard;
    default: return UnsavedChoice::cancel;
  }
}

bool QtPrompter::confirm(const Message& question) {
  const QString caption =
      question.caption.empty() ? QStringLiteral("Delvix") : QString::fromStdString(question.caption);
  QMessageBox box(QMessageBox::Question, caption, QString::fromStdString(question.text),
                  QMessageBox::Yes | QMessageBox::No, parent_);
  if (!question.details.empty()) box.setInformativeText(QString::fromStdString(question.details));
  box.setDefaultButton(QMessageBox::No);
  for (QLabel* label : box.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace delvix::platform
