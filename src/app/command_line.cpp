#include "app/command_line.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace delvix::app {

namespace {

bool isHelp(const std::string& argument) { return argument == "--help" || argument == "-h"; }
bool isVersion(const std::string& argument) { return argument == "--version" || argument == "-v"; }

// The options Qt's application object and its X11 platform take out of the command line (with one dash or two).
constexpr std::array<std::string_view, 16> toolkitOptionsWithValue{"platform",
                                                                   "platformpluginpath",
                                                                   "platformtheme",
                                                                   "plugin",
                                                                   "qwindowgeometry",
                                                                   "geometry",
                                                                   "qwindowtitle",
                                                                   "title",
                                                                   "qwindowicon",
                                                                   "icon",
                                                                   "session",
                                                                   "style",
                                                                   "stylesheet",
                                                                   "display",
                                                                   "name",
                                                                   "visual"};
constexpr std::array<std::string_view, 6> toolkitFlags{"reverse", "testability", "widgetcount",
                                                       "nograb",  "dograb",      "sync"};
constexpr std::array<std::string_view, 3> toolkitOptionsWithEquals{"style=", "stylesheet=", "qmljsdebugger="};

// The option's name without its dashes, or empty when the argument is no single- or double-dash option.
std::string_view optionName(std::string_view argument) {
  if (argument.starts_with("--"))
    argument.remove_prefix(2);
  else if (argument.starts_with('-'))
    argument.remove_prefix(1);
  else
    return {};
  return argument;
}

template <std::size_t n>
bool among(std::string_view name, const std::array<std::string_view, n>& names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

CommandLine::Action earlyAction(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "--") break;
    if (isHelp(argument)) return CommandLine::Action::help;
    if (isVersion(argument)) return CommandLine::Action::version;
  }
  return CommandLine::Action::run;
}

std::vector<std::string> withoutToolkitOptions(const std::vector<std::string>& arguments) {
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    // Qt reads all of them, after "--" too.
    const std::string_view name = optionName(arguments[i]);
    if (among(name, toolkitOptionsWithValue) && i + 1 < arguments.size()) {
      ++i;
      continue;
    }
    const bool withEquals = std::any_of(toolkitOptionsWithEquals.begin(), toolkitOptionsWithEquals.end(),
                                        [name](std::string_view option) { return name.starts_with(option); });
    if (!among(name, toolkitFlags) && !withEquals) rest.push_back(arguments[i]);
  }
  return rest;
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
