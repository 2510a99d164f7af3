#pragma once

#include <filesystem>
#include <functional>

#include "formats/document_reader.h"
#include "platform/help_viewer.h"
#include "platform/prompter.h"
#include "platform/settings_store.h"
#include "platform/wave_output.h"

namespace delvix::app {

using DocumentReader = std::function<formats::ReadOutcome(const std::filesystem::path&, model::Document&,
                                                          const formats::ReadSettings&, formats::Reporter&)>;

// What the main window needs of the world around it; the program passes the real services, tests pass doubles.
struct Host {
  platform::Prompter& prompter;
  platform::SettingsStore& settings;
  platform::HelpViewer& help;
  // The folder of the program: its help pages, and "Log.dat" when logBesideProgram and it can be written.
  std::filesystem::path programFolder;
  // Where "Log.dat" goes when the program's folder cannot be written or is not to be (an installed program's).
  std::filesystem::path dataFolder;
  DocumentReader read = formats::readDocument;
  // The sound output; without one nothing can be played.
  platform::WaveOutput* waveOutput = nullptr;
  // False for a program that runs from where it is installed: nothing is written beside it.
  bool logBesideProgram = true;
};

}  // namespace delvix::app
