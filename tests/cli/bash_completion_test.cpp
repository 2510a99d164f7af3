#include <gtest/gtest.h>

#include "cli_run.h"
#include "support/corpus.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

TEST(CliBashCompletion, CompletesVerbsOptionsValuesAndFiles) {
  if (!testing::haveProgram("bash")) GTEST_SKIP() << "bash is not there";
  testing::TempDir dir;
  CliRun script({"help", "--bash-completion"});
  ASSERT_EQ(script.status, exitOk);
  const std::string text = script.out.str();
  const auto scriptPath = dir.write("delvix-cli.bash", std::vector<std::uint8_t>(text.begin(), text.end()));
  // Completes the last of its arguments as bash would, printing each completion followed by '|'.
  const std::string driver =
      "source \"$1\"; shift; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); "
      "_delvix_cli 2>/dev/null; printf '%s|' \"${COMPREPLY[@]}\"";
  const auto driverPath = dir.write("complete.sh", std::vector<std::uint8_t>(driver.begin(), driver.end()));
  dir.write("cursor one.ani", {});

  struct Case {
    std::vector<std::string> words;
    std::string expected;
  };
  const std::string folder = dir.path().string() + "/";
  const Case cases[] = {
      {{"ex"}, "extract|export|"},
      {{"--kinds=icons", "i"}, "info|"},
      {{"export", "a.ico", "out", "--f"}, "--format|"},
      {{"export", "a.ico", "out", "--format", ""}, "png|bmp|jpg|gif|"},
      {{"fields", "a.ico", "--"}, "--node|--show=|--edit=|--page|--kinds=|--quiet|--help|"},
      {{"help", "--"}, "--man|--bash-completion|"},
      {{"tree", folder + "cursor o"}, folder + "cursor one.ani|"},
  };
  for (const Case& c : cases) {
    std::string command = "bash '" + driverPath.string() + "' '" + scriptPath.string() + "' delvix-cli";
    for (const std::string& word : c.words) command += " '" + word + "'";
    EXPECT_EQ(testing::runAndCapture(command), c.expected) << command;
  }
}

}  // namespace
}  // namespace delvix::cli
