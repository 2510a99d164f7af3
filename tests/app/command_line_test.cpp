#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace delvix::app {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, TakesOneFileAndTheKnownOptions) {
  struct Case {
    std::vector<std::string> arguments;
    Action action;
    std::string file;
  };
  const std::vector<Case> cases{
      {{}, Action::run, ""},
      {{"a.ico"}, Action::run, "a.ico"},
      {{"--screenshot", "shot.png", "a.ico"}, Action::run, "a.ico"},
      {{"--", "--help"}, Action::run, "--help"},
      {{"a.ico", "b.ico"}, Action::usageError, ""},
      {{"--bogus"}, Action::usageError, ""},
      {{"a.ico", "--version"}, Action::version, ""},
      {{"-h"}, Action::help, ""},
  };
  for (const Case& c : cases) {
    CommandLine line = parseCommandLine(c.arguments);
    EXPECT_EQ(line.action, c.action) << ::testing::PrintToString(c.arguments);
    if (c.action == Action::run) {
      EXPECT_EQ(line.file, c.file);
    }
  }
  EXPECT_EQ(earlyAction({"-platform", "xcb", "--help"}), Action::help);
  EXPECT_EQ(earlyAction({"--", "--version"}), Action::run);
}

// Without a display the windowing system cannot start; help and version must not need it.
TEST(CommandLine, HelpAndVersionAnswerWithoutADisplay) {
  for (const char* option : {"--help", "--version"}) {
    std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ") + DELVIX_GUI_PATH + " " +
                          option + " 2>&1; echo status=$?";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    char buffer[512];
    while (pipe && fgets(buffer, sizeof buffer, pipe.get())) output += buffer;
    EXPECT_NE(output.find("status=0"), std::string::npos) << output;
    EXPECT_NE(output.find(option == std::string("--help") ? "usage: delvix" : "delvix 2."), std::string::npos)
        << output;
  }
}

}  // namespace
}  // namespace delvix::app
