// File > Open Recent: the files opened last, kept in the settings.
#include <QAction>
#include <QFontMetrics>
#include <QMenu>

#include "app/main_window/main_window.h"
#include "widgets/recent_files.h"
#include "widgets/widget_names.h"

namespace delvix::app {

namespace {

// "&1 /home/me/a.ani" up to "1&0 ...": the number is the entry's key; a long name loses its middle, and an
// ampersand in it is shown, not taken for a key.
QString entryText(std::size_t index, const std::string& file, const QFontMetrics& metrics) {
  const QString number = index + 1 < 10 ? "&" + QString::number(index + 1) : QString("1&0");
  const QString name = metrics.elidedText(QString::fromStdString(file), Qt::ElideMiddle, 480);
  return number + " " + QString(name).replace('&', "&&");
}

}  // namespace

QMenu* TFormANI::createRecentMenu() {
  OpenRecent1 = named(new QMenu("Open &Recent", this), "OpenRecent1");
  ClearRecent1 = named(new QAction("&Clear list", this), "ClearRecent1");
  connect(ClearRecent1, &QAction::triggered, this, &TFormANI::ClearRecentClick);
  showRecentFiles();
  return OpenRecent1;
}

void TFormANI::showRecentFiles() {
  // The chosen entry may be the one asking for the new list: the old ones go once it has returned.
  for (QAction* old : OpenRecent1->actions()) {
    OpenRecent1->removeAction(old);
    if (old != ClearRecent1) old->deleteLater();
  }
  const std::vector<std::string>& recent = settings_.recentFiles;
  for (std::size_t i = 0; i < recent.size(); ++i) {
    auto* entry = named(new QAction(entryText(i, recent[i], OpenRecent1->fontMetrics()), OpenRecent1),
                        ("RecentFile" + std::to_string(i + 1)).c_str());
    entry->setToolTip(QString::fromStdString(recent[i]));
    // The name as the file system gives it, which need not be valid UTF-8.
    connect(entry, &QAction::triggered, this, [this, file = recent[i]] { openRecentFile(file); });
    OpenRecent1->addAction(entry);
  }
  OpenRecent1->addSeparator();
  OpenRecent1->addAction(ClearRecent1);
  OpenRecent1->menuAction()->setEnabled(!recent.empty());
}

void TFormANI::rememberRecentFile(const std::filesystem::path& file) {
  settings_.recentFiles = withOpenedFile(settings_.recentFiles, file.string());
  showRecentFiles();
}

void TFormANI::openRecentFile(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    settings_.recentFiles = withoutMissingFile(settings_.recentFiles, file.string());
    showRecentFiles();
    host_.prompter.show({"File not found:\n" + file.string() + "\n\nIt was taken off the list of recent files.",
                         platform::MessageButtons::ok,
                         platform::MessageIcon::error,
                         {}});
    return;
  }
  openPath(file);
}

void TFormANI::ClearRecentClick() {
  settings_.recentFiles.clear();
  showRecentFiles();
}

}  // namespace delvix::app
