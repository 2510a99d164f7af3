#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/main_window/main_window.h"
#include "app/secondary_windows.h"
#include "desktop/program_folders.h"
#include "formats/save_signals.h"
#include "platform/process_help_viewer.h"
#include "platform/qt_prompter.h"
#include "platform/qt_settings_store.h"
#include "platform/qt_wave_output.h"
#include "widgets/pictures.h"

namespace {

int usageError(const std::string& error) {
  std::cerr << "delvix: " << error << "\n\n";
  delvix::app::printHelp(std::cerr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using delvix::app::CommandLine;
  delvix::formats::ignoreFileSizeSignal();
  // Answered before Qt starts, which without a display ends the program.
  const std::vector<std::string> given(argv + 1, argv + argc);
  switch (delvix::app::earlyAction(given)) {
    case CommandLine::Action::help: delvix::app::printHelp(std::cout); return 0;
    case CommandLine::Action::version: delvix::app::printVersion(std::cout); return 0;
    default: break;
  }
  if (const CommandLine early = delvix::app::parseCommandLine(delvix::app::withoutToolkitOptions(given));
      early.action == CommandLine::Action::usageError)
    return usageError(early.error);

  QApplication application(argc, argv);
  QApplication::setApplicationName("Delvix");
  QApplication::setApplicationVersion(DELVIX_VERSION);
  // Ties the window to its launcher in docks and task bars.
  QGuiApplication::setDesktopFileName("io.github.delvix.Delvix");
  QApplication::setWindowIcon(QIcon(delvix::app::programPicture(64)));
  std::vector<std::string> rest;
  for (const QString& argument : QApplication::arguments().mid(1)) rest.push_back(argument.toStdString());
  const CommandLine arguments = delvix::app::parseCommandLine(rest);
  if (arguments.action == CommandLine::Action::usageError) return usageError(arguments.error);

  delvix::platform::QtPrompter prompter;
  delvix::platform::QtSettingsStore settings;
  delvix::platform::ProcessHelpViewer help;
  delvix::platform::QtWaveOutput sound;
  // Run from its build folder the program keeps its log beside it; installed, in the user's state folder.
  const std::filesystem::path programFolder = QApplication::applicationDirPath().toStdString();
  delvix::app::Host host{prompter,
                         settings,
                         help,
                         programFolder,
                         delvix::desktop::userStateFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME")),
                         delvix::formats::readDocument,
                         &sound,
                         delvix::desktop::runsFromBuildTree(programFolder)};

  delvix::app::TFormANI window(host);
  prompter.setParent(&window);
  window.setSecondaryWindows(delvix::app::createSecondaryWindows(&window));
  window.showAsStored();

  if (!arguments.file.empty())
    QTimer::singleShot(0, &window, [&window, file = QString::fromStdString(arguments.file)] { window.openFile(file); });
  if (!arguments.screenshot.empty()) {
    window.settings().saveOptions = false;
    QTimer::singleShot(1500, &window, [&window, out = arguments.screenshot] {
      if (!window.grab().save(QString::fromStdString(out))) std::cerr << "delvix: could not write " << out << '\n';
      QApplication::quit();
    });
  }
  return QApplication::exec();
}
