// xcursor and wincursor: what they write, what they print with --json and what they refuse.
#include <gtest/gtest.h>

#include "cli/cli_run.h"
#include "support/file_bytes.h"
#include "support/icon_builder.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

using namespace delvix::testing;

TEST(XcursorCommands, ConvertBothWaysAndRefuseWhatCannotBeWritten) {
  TempDir dir;
  const DibImage picture{.width = 16, .height = 16, .bitCount = 32};
  const std::string cur =
      dir.write(
             "in.cur",
             IconFile{.type = 2, .entries = {IconEntry{.record = picture.bytes(), .planes = 2, .bitCount = 9}}}.bytes())
          .string();
  const std::string x11 = (dir.path() / "arrow").string();
  const std::string back = (dir.path() / "back.cur").string();
  const std::string ani = (dir.path() / "back.ani").string();
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out, err;
  } cases[] = {
      {{"xcursor", cur, x11, "--json"},
       exitOk,
       "{\n  \"file\": \"" + cur +
           "\",\n  \"images\": [\n    {\n      \"delay\": 0,\n      \"height\": 16,\n      "
           "\"size\": 16,\n      \"width\": 16,\n      \"xhot\": 2,\n      \"yhot\": 9\n    }\n  ],\n  \"output\": \"" +
           x11 + "\"\n}\n",
       "delvix-cli: " + cur + ": saving of file: " + x11 + "\n"},
      {{"wincursor", x11, "-o", back, "--json", "--sizes=16"},
       exitOk,
       "{\n  \"animated\": false,\n  \"file\": \"" + x11 + "\",\n  \"output\": \"" + back + "\"\n}\n",
       "delvix-cli: " + x11 + ": saving of file: " + back + "\n"},
      {{"wincursor", x11, ani},
       exitRefused,
       "",
       "delvix-cli: " + x11 + ": the cursor is not animated: it is written as .cur, not as .ani\n"},
      {{"wincursor", cur, ani},
       exitRefused,
       "",
       "delvix-cli: " + cur + ": this is no X cursor file (they begin with \"Xcur\").\n"},
      {{"wincursor", x11, ani, "--sizes=16,big"},
       exitUsage,
       "",
       "delvix-cli: --sizes takes sizes in pixels separated by commas (32,48,64), not 16,big\n"},
      {{"wincursor", x11, (dir.path() / "x.wav").string()},
       exitUsage,
       "",
       "delvix-cli: " + (dir.path() / "x.wav").string() + ": a Windows cursor is written as .cur or .ani\n"},
  };
  for (const auto& c : cases) {
    CliRun run(c.args);
    EXPECT_EQ(run.status, c.status) << c.args[0] << ' ' << c.args[2];
    EXPECT_EQ(run.out.str(), c.out);
    EXPECT_EQ(run.err.str(), c.err);
  }
  EXPECT_FALSE(std::filesystem::exists(ani));
  const auto written = readFileBytes(back);
  ASSERT_TRUE(written);
  EXPECT_EQ(written->size(), 6u + 16 + 40 + 16 * 16 * 4 + 16 * 4);
}

}  // namespace
}  // namespace delvix::cli
