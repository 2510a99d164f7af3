#include "dialogs/theme_lint_window.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "theme/theme_lint.h"

namespace delvix::app {

namespace {

QString text(std::string_view value) { return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())); }

QString summaryOf(const theme::ThemeLint& lint) {
  const std::size_t faults = lint.count(theme::Severity::fault);
  const std::size_t warnings = lint.count(theme::Severity::warning);
  return QStringLiteral("<b>%1</b> (%2 theme): %3 cursors, %4 faults, %5 warnings")
      .arg(text(lint.name).toHtmlEscaped(), text(theme::layoutName(lint.layout)))
      .arg(lint.cursors)
      .arg(faults)
      .arg(warnings);
}

}  // namespace

ThemeLintWindow::ThemeLintWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("ThemeLintWindow");
  setWindowTitle(tr("Check Cursor Theme"));
  summary_ = new QLabel(this);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  findings_ = new QTreeWidget(this);
  findings_->setObjectName("ThemeFindings");
  findings_->setRootIsDecorated(false);
  findings_->setAlternatingRowColors(true);
  findings_->setHeaderLabels({tr("Severity"), tr("Cursor"), tr("Where"), tr("What")});
  findings_->header()->setStretchLastSection(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  QPushButton* again = buttons->addButton(tr("Check &Again"), QDialogButtonBox::ActionRole);
  connect(again, &QPushButton::clicked, this, [this] { check(folder_); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(summary_);
  layout->addWidget(findings_, 1);
  layout->addWidget(buttons);
  resize(900, 500);
}

void ThemeLintWindow::check(const QString& folder) {
  folder_ = folder;
  setWindowTitle(tr("Check Cursor Theme - %1").arg(folder));
  findings_->clear();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const theme::ThemeLintOutcome outcome = theme::lintThemeFolder(QFile::encodeName(folder).toStdString());
  QApplication::restoreOverrideCursor();
  if (!outcome.lint) {
    summary_->setText(text(outcome.refusal).toHtmlEscaped());
    return;
  }
  summary_->setText(summaryOf(*outcome.lint));
  const QIcon faultIcon = style()->standardIcon(QStyle::SP_MessageBoxCritical);
  const QIcon warningIcon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
  QList<QTreeWidgetItem*> rows;
  for (const theme::Finding& finding : outcome.lint->findings) {
    auto* row = new QTreeWidgetItem(
        {text(theme::severityName(finding.severity)), text(finding.cursor), text(finding.where), text(finding.what)});
    row->setIcon(0, finding.severity == theme::Severity::fault ? faultIcon : warningIcon);
    row->setToolTip(3, text(finding.what));
    rows.push_back(row);
  }
  findings_->addTopLevelItems(rows);
  for (int column = 0; column < 3; ++column) findings_->resizeColumnToContents(column);
}

}  // namespace delvix::app
