#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "platform/prompter.h"
#include "platform/wave_output.h"

namespace delvix::app {

// What the folder browsers use of the main window.
struct BrowserServices {
  // Opens a file as the main window's open command does.
  std::function<void(const std::filesystem::path&)> open;
  // Adds a line to the main window's message log.
  std::function<void(const std::string&)> log;
  // Where a browser starts: the open document's folder, else the current one.
  std::function<std::filesystem::path()> startFolder;
  platform::Prompter* prompter = nullptr;
  // The program's one sound output, shared with the main window; none means nothing is played.
  platform::WaveOutput* waveOutput = nullptr;
};

}  // namespace delvix::app
