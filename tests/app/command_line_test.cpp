#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace delvix::app {
namespace {

using Action = CommandLine::Action;

// What the program prints, run without a display, with "status=N" after it.
std::string runWithoutDisplay(const std::string& arguments, const char* redirection) {
  const std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ") + DELVIX_GUI_PATH +
                              " " + arguments + " " + redirection + "; echo status=$?";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string output;
  char buffer[512];
  while (pipe && fgets(buffer, sizeof buffer, pipe.get())) output += buffer;
  return output;
}

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

TEST(CommandLine, TheToolkitsOwnOptionsArePassedOverBeforeItStarts) {
  const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> cases{
      {{"-platform", "offscreen", "a.ico"}, {"a.ico"}},
      {{"--style", "fusion", "-reverse", "-style=fusion", "--bogus"}, {"--bogus"}},
      {{"-display", ":1", "-qwindowgeometry", "800x600", "--screenshot", "s.png"}, {"--screenshot", "s.png"}},
      {{"-platform"}, {"-platform"}},
      {{"--", "-reverse", "-x"}, {"--", "-x"}},
  };
  for (const auto& [given, left] : cases)
    EXPECT_EQ(withoutToolkitOptions(given), left) << ::testing::PrintToString(given);
}

// Without a display the windowing system cannot start; help and version must not need it.
TEST(CommandLine, HelpAndVersionAnswerWithoutADisplay) {
  for (const char* option : {"--help", "--version"}) {
    const std::string output = runWithoutDisplay(option, "2>&1");
    EXPECT_NE(output.find("status=0"), std::string::npos) << output;
    EXPECT_NE(output.find(option == std::string("--help") ? "usage: delvix" : "delvix 2."), std::string::npos)
        << output;
  }
}

// Qt cannot start without a display and then ends the program: a usage error is told before it starts.
TEST(CommandLine, AnUnknownOptionPrintsTheUsageOnStandardErrorAndExitsWithTwo) {
  for (const char* arguments : {"--bogus", "-platform offscreen -x", "a.ico b.ico"}) {
    // Standard error only.
    const std::string errors = runWithoutDisplay(arguments, "2>&1 >/dev/null");
    EXPECT_TRUE(errors.starts_with("delvix: ")) << arguments << ": " << errors;
    EXPECT_NE(errors.find("usage: delvix"), std::string::npos) << errors;
    EXPECT_TRUE(errors.ends_with("status=2\n")) << errors;
  }
}

}  // namespace
}  // namespace delvix::app
