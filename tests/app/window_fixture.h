#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QString>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window/main_window.h"
#include "platform/fake_wave_output.h"
#include "platform/memory_settings_store.h"
#include "platform/recording_help_viewer.h"
#include "platform/scripted_prompter.h"
#include "support/temp_dir.h"

namespace delvix::testing {

// The real main window over doubles of every host service: scripted dialogs, settings in memory, a help
// viewer that only records, and fresh folders for the program and its data.
class WindowTest : public ::testing::Test {
 protected:
  WindowTest();
  ~WindowTest() override;

  app::TFormANI& window();
  // Closes and destroys the window, which writes what it writes at exit.
  void closeWindow();

  std::filesystem::path write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
  // Runs the open command, choosing `path` in its dialog.
  void openThroughDialog(const std::filesystem::path& path);

  QWidget* widget(const char* name);
  QAction* action(const char* name);
  bool enabled(const char* name);
  QString text(const char* name);
  QString hint(const char* name);
  // The names of the top-level rows of the structure tree view, and of the children of one.
  std::vector<std::string> treeRows(const char* parent = nullptr);
  std::string selectedTreeNode();
  // Selects the first node of that name as a user would: made visible, then clicked.
  void selectTreeNode(const char* name);
  // The display texts of a thumbnail row, and the column captions.
  std::vector<std::string> thumbnailRow(int row);
  std::vector<std::string> thumbnailCaptions();
  int thumbnailRowCount();
  int thumbnailColumnWidth(int column);
  bool logged(const std::string& line);

  platform::MemorySettingsStore store;
  platform::ScriptedPrompter prompter;
  platform::RecordingHelpViewer help;
  platform::FakeWaveOutput sound;
  TempDir files;
  TempDir programFolder;
  // Where the window thinks it is installed; the folder above unless a test says otherwise.
  std::filesystem::path programPath = programFolder.path();
  std::filesystem::path dataFolder;
  // False: the window runs as an installed program.
  bool logBesideProgram = true;
  app::DocumentReader reader = formats::readDocument;

 private:
  std::unique_ptr<app::TFormANI> window_;
};

}  // namespace delvix::testing
