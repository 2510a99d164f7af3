#include <gtest/gtest.h>

#include "cli_run.h"
#include "support/corpus.h"
#include "support/icon_builder.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

using namespace delvix::testing;

TEST(CliBashCompletion, CompletesVerbsOptionsValuesNodesAndFiles) {
  if (!haveProgram("bash")) GTEST_SKIP() << "bash is not there";
  TempDir dir;
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
  const std::string ani = dir.write("busy.ani", riff("ACON", {aniHeader({.frames = 2, .steps = 2}),
                                                              chunk("seq", u32s({0, 1})), frameList(2, DibImage{})}))
                              .string();
  const std::string ico = dir.write("app.ico", IconFile{.entries = {{DibImage{}.bytes()}}}.bytes()).string();

  struct Case {
    std::vector<std::string> words;
    std::string expected;
  };
  const std::string folder = dir.path().string() + "/";
  const Case cases[] = {
      // Verbs, also after the options every verb takes, with or without their value.
      {{"ex"}, "extract|export|"},
      {{"--kinds=icons", "i"}, "info|"},
      {{"--kinds", "icons", "ex"}, "extract|export|"},
      {{"-q", "--kinds=icons", "-j", "ex"}, "extract|export|"},
      {{"--", "tr"}, "tree|"},
      {{"help", "th"}, "thumbnails|theme|"},
      // Options, and the values of those that take one.
      {{"export", "a.ico", "out", "--f"}, "--format|"},
      {{"export", "a.ico", "out", "--format", ""}, "png|bmp|jpg|gif|"},
      {{"export", "a.ico", "-f", "j"}, "jpg|"},
      {{"export", "a.ico", "--format=g"}, "--format=gif|"},
      {{"export", "a.ico", "--zoom", "1"}, "1|10|"},
      {{"fields", "a.ico", "--page", ""}, "all|"},
      {{"fields", "a.ico", "--page=a"}, "--page=all|"},
      {{"fields", "a.ico", "--"}, "--node|--show=|--edit=|--page|--kinds=|--quiet|--help|"},
      {{"fields", "a.ico", "--show=table,c"}, "--show=table,color|"},
      {{"fields", "a.ico", "--edit=f"}, "--edit=fact|"},
      {{"browse", "d", "--images=ani,c"}, "--images=ani,cur|--images=ani,cpl|"},
      {{"info", "--kinds=icons,cu"}, "--kinds=icons,cursors|"},
      // bash splits at '=': the pieces are joined, and only what follows the last '=' is completed.
      {{"info", "--kinds", "=", "icons,cu"}, "icons,cursors|"},
      {{"info", "--kinds", "="}, "icons|cursors|bitmaps|none|"},
      {{"help", "--"}, "--man|--bash-completion|"},
      // After a value-less option, files again; after "--" even a word starting with '-' is an operand.
      {{"tree", "-q", folder + "cursor o"}, folder + "cursor one.ani|"},
      {{"export", "--format", "gif", folder + "cursor o"}, folder + "cursor one.ani|"},
      {{"tree", "--", folder + "cursor o"}, folder + "cursor one.ani|"},
      // Node paths of the file already typed, where an operand is a node.
      {{"fields", ani, "RIFF_ACON/List_images/"}, "RIFF_ACON/List_images/picture_1/|RIFF_ACON/List_images/picture_2/|"},
      {{"fields", ani, "RIFF_ACON/s"}, "RIFF_ACON/sequence|"},
      {{"set", ico, "pic"}, "picture_1/|"},
      {{"set", ico, "picture_1/b"}, "picture_1/bitm_info|"},
      {{"remove", "-o", "out.ico", ico, "he"}, "header/|"},
      {{"fields", ico, "--node", "hea"}, "header/|"},
      {{"cut", ico, folder + "cursor o"}, folder + "cursor one.ani|"},
  };
  for (const Case& c : cases) {
    // The first word is the program completed: node paths come from running it.
    std::string command = "bash '" + driverPath.string() + "' '" + scriptPath.string() + "' '" DELVIX_CLI_PATH "'";
    for (const std::string& word : c.words) command += " '" + word + "'";
    EXPECT_EQ(runAndCapture(command), c.expected) << command;
  }
  // A node offered with its children ends in '/', and names that node.
  CliRun fields({"fields", ico, "picture_1/"});
  EXPECT_EQ(fields.status, exitOk) << fields.err.str();
}

}  // namespace
}  // namespace delvix::cli
