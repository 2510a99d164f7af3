#include "app/command_line.h"

namespace delvix::app {

namespace {

bool isHelp(const std::string& argument) { return argument == "--help" || argument == "-h"; }
bool isVersion(const std::string& argument) { return argument == "--version" || argument == "-v"; }

}  // namespace

CommandLine::Action earlyAction(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "--") break;
    if (isHelp(argument)) return CommandLine::Action::help;
    if (isVersion(argument)) return CommandLine::Action::version;
  }
  return CommandLine::Action::run;
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
      if (!line.file.empty()) {
        line.action = CommandLine::Action::usageError;
        line.error = "only one file can be opened at a time";
        return line;
      }
      line.file = argument;
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (isHelp(argument)) {
      line.action = CommandLine::Action::help;
      return line;
    } else if (isVersion(argument)) {
      line.action = CommandLine::Action::version;
      return line;
    } else if (argument == "--screenshot" && i + 1 < arguments.size()) {
      line.screenshot = arguments[++i];
    } else {
      line.action = CommandLine::Action::usageError;
      line.error = "unknown option '" + argument + "'";
      return line;
    }
  }
  return line;
}

void printHelp(std::ostream& out) {
  out << "usage: delvix [OPTION] [FILE]\n\n"
         "Shows the structure of icon (.ico), cursor (.cur), animated cursor (.ani) and wave (.wav)\n"
         "files and the icon, cursor and bitmap resources of program modules (.exe, .dll, ...),\n"
         "and opens FILE when one is given.\n\n"
         "  -h, --help            show this help and exit\n"
         "  -v, --version         show the version and exit\n"
         "  --screenshot PNG      save a picture of the window after start-up, then quit\n\n"
         "delvix-cli does the same work on the command line.\n";
}

void printVersion(std::ostream& out) { out << "delvix " << DELVIX_VERSION << '\n'; }

}  // namespace delvix::app
