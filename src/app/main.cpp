#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>
#include <iostream>

#include "app/main_window.h"
#include "app/secondary_windows.h"
#include "platform/process_help_viewer.h"
#include "platform/qt_prompter.h"
#include "platform/qt_settings_store.h"

namespace {

struct Arguments {
  QString file;
  // Save a picture of the window with the file open and quit, for the documentation.
  QString screenshot;
};

Arguments parse(const QStringList& arguments) {
  Arguments parsed;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--screenshot" && i + 1 < arguments.size())
      parsed.screenshot = arguments[++i];
    else
      parsed.file = arguments[i];
  }
  return parsed;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Delvix");
  const Arguments arguments = parse(QApplication::arguments());

  delvix::platform::QtPrompter prompter;
  delvix::platform::QtSettingsStore settings;
  delvix::platform::ProcessHelpViewer help;
  delvix::app::Host host{prompter, settings, help, QApplication::applicationDirPath().toStdString(),
                         QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString()};

  delvix::app::TFormANI window(host);
  prompter.setParent(&window);
  window.setSecondaryWindows(delvix::app::createSecondaryWindows(&window));
  window.showAsStored();

  if (!arguments.file.isEmpty())
    QTimer::singleShot(0, &window, [&window, file = arguments.file] { window.openFile(file); });
  if (!arguments.screenshot.isEmpty()) {
    window.settings().saveOptions = false;
    QTimer::singleShot(1500, &window, [&window, out = arguments.screenshot] {
      if (!window.grab().save(out)) std::cerr << "delvix: could not write " << out.toStdString() << '\n';
      QApplication::quit();
    });
  }
  return QApplication::exec();
}
