// Refusals come before any work is done or printed, and each says why.
#include <gtest/gtest.h>

#include "cli/cli_run.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

using namespace delvix::testing;

TEST(Refusals, ComeBeforeTheWorkAndNameTheReason) {
  TempDir dir;
  const DibImage frame{.width = 20, .height = 20, .bitCount = 32};
  IconFile icon;
  icon.entries.push_back({frame.bytes()});
  const std::string ico = dir.write("one.ico", icon.bytes()).string();
  const std::string ani =
      dir.write("two.ani",
                riff("ACON", {aniHeader({.frames = 2, .steps = 2}), chunk("rate", u32s({1, 2})), frameList(2, frame)}))
          .string();
  const std::string oneStep = dir.write("one.ani", riff("ACON", {aniHeader({.frames = 1, .steps = 1, .attributes = 3}),
                                                                 chunk("seq ", u32s({0})), frameList(1, frame)}))
                                  .string();
  const std::string png = (dir.path() / "out.png").string();
  const std::string out = (dir.path() / "out.ani").string();
  const auto notWritten = [&](std::string verb) {
    return "delvix-cli: " + verb + ": " + png + ": files are written as .ico, .cur, .ani or .wav, not as .png\nTry " +
           "'delvix-cli " + verb + " --help' for its operands and options.\n";
  };
  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;
  } cases[] = {
      {{"set", ani, "RIFF_ACON/time", "1", "7", png}, exitUsage, notWritten("set")},
      {{"remove", ani, "RIFF_ACON/time", png}, exitUsage, notWritten("remove")},
      {{"add", ani, png, "--seq"}, exitUsage, notWritten("add")},
      {{"cut", ani, "0", "1", "-o", png}, exitUsage, notWritten("cut")},
      {{"add", ani, out, "--image=" + ico + ":0"},
       exitRefused,
       "delvix-cli: " + ico + ": there is no image 0: it has 1 image, numbered from 1\n"},
      {{"add", ani, out, "--image=" + ico + ":2"},
       exitRefused,
       "delvix-cli: " + ico + ": there is no image 2: it has 1 image, numbered from 1\n"},
      {{"remove", ico, "picture_1", (dir.path() / "none.ico").string()},
       exitRefused,
       "delvix-cli: picture_1: The last picture of a file cannot be removed.\n"},
      {{"fields", ico, "picture_1/color_bitmap", "--show=color", "--page=99999"},
       exitRefused,
       "delvix-cli: picture_1/color_bitmap has 2 pages of pixels; there is no page 99999\n"},
      {{"fields", ico, "picture_1/color_bitmap", "--page=1"},
       exitRefused,
       "delvix-cli: picture_1/color_bitmap (2 pages) lists no pixel while the values are hidden; --show=color shows "
       "them\n"},
      {{"fields", ico, "header", "--page=1"},
       exitUsage,
       "delvix-cli: --page goes with a color_bitmap node; header has no pages\n"},
  };
  for (const auto& c : cases) {
    CliRun run(c.args);
    EXPECT_EQ(run.status, c.status) << c.args[0] << ' ' << c.args.back();
    EXPECT_EQ(run.err.str(), c.err);
    EXPECT_EQ(run.out.str(), "") << c.args[0] << ' ' << c.args.back();
  }
  EXPECT_FALSE(std::filesystem::exists(png));
  EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace delvix::cli
