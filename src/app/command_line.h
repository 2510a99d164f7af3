#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace delvix::app {

// What `delvix` was asked to do on its command line.
struct CommandLine {
  enum class Action { run, help, version, usageError };
  Action action = Action::run;
  std::string file;
  // Save a picture of the window with the file open and quit, for the documentation.
  std::string screenshot;
  std::string error;
};

// Reads the arguments after the program name (after the windowing system took its own options out).
// "--" ends the options.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// Help or version when the raw arguments ask for either, else run: looked at before the windowing
// system starts, so that both answer without a display.
CommandLine::Action earlyAction(const std::vector<std::string>& arguments);

// The raw arguments without the windowing system's own options (-platform NAME, -style=NAME, -reverse, ...),
// which it takes out itself once it starts: what parseCommandLine will be given then, known before, so that a
// usage error is told without a display.
std::vector<std::string> withoutToolkitOptions(const std::vector<std::string>& arguments);

void printHelp(std::ostream& out);
void printVersion(std::ostream& out);

}  // namespace delvix::app
