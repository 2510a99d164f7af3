#include <gtest/gtest.h>

#include <algorithm>

#include "cli/cli_run.h"
#include "support/icon_builder.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

TEST(FieldsCommand, PrintsOneNodeOrEveryNodeUnderItsPath) {
  testing::TempDir dir;
  testing::IconFile icon;
  icon.entries.push_back({testing::DibImage{.width = 2, .height = 2, .bitCount = 32}.bytes()});
  const std::string file = dir.write("one.ico", icon.bytes()).string();

  CliRun header({"fields", file, "header"});
  EXPECT_EQ(header.status, exitOk);
  EXPECT_EQ(header.out.str(), "Reserve\t0\tro\nType\t1\tro\nCount\t1\tro\n");

  CliRun all({"fields", file});
  EXPECT_EQ(all.status, exitOk);
  EXPECT_NE(all.out.str().find("header/icon_dir_1\nWidth\t2\tro\n"), std::string::npos);
  EXPECT_NE(all.out.str().find("picture_1/bitm_info\nSize\t40\tro\n"), std::string::npos);

  EXPECT_EQ(CliRun({"fields", file, "picture_9"}).status, exitRefused);
}

TEST(FieldsCommand, PrintsThePagesOfAPixelTableWhenColourBitmapsAreShown) {
  testing::TempDir dir;
  testing::IconFile icon;
  icon.entries.push_back({testing::DibImage{.width = 20, .height = 20, .bitCount = 32}.bytes()});
  const std::string file = dir.write("big.ico", icon.bytes()).string();
  auto lines = [](const CliRun& run) { return std::ranges::count(run.out.str(), '\n'); };

  EXPECT_EQ(lines(CliRun({"fields", file, "picture_1/color_bitmap"})), 0);
  EXPECT_EQ(lines(CliRun({"fields", file, "picture_1/color_bitmap", "--show=color"})), 360);
  CliRun second({"fields", file, "picture_1/color_bitmap", "--show=color", "--edit=data", "--page=2"});
  EXPECT_EQ(lines(second), 40);
  EXPECT_EQ(second.out.str().substr(0, 4), "361\t");
  EXPECT_NE(second.out.str().find("\trw\n"), std::string::npos);
  EXPECT_EQ(lines(CliRun({"fields", file, "picture_1/color_bitmap", "--show=color", "--page=all"})), 400);
  EXPECT_EQ(CliRun({"fields", file, "--page=0"}).status, exitUsage);
  EXPECT_EQ(CliRun({"fields", file, "--show=colours"}).status, exitUsage);
}

TEST(FieldsCommand, AListingThatWouldPrintNothingSaysWhyAndFails) {
  testing::TempDir dir;
  testing::IconFile icon;
  icon.entries.push_back({testing::DibImage{.width = 20, .height = 20, .bitCount = 8}.bytes()});
  const std::string file = dir.write("big.ico", icon.bytes()).string();
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"picture_1/color_bitmap"}, "picture_1/color_bitmap: its values are listed with --show=color"},
      {{"picture_1/color_table"}, "picture_1/color_table: its values are listed with --show=table"},
      {{"picture_1/mask_bitmap"}, "picture_1/mask_bitmap: its values are listed with --show=mask"},
      {{"picture_1/color_bitmap", "--page=all"}, "lists no pixel while the values are hidden; --show=color"},
      {{"picture_1/color_bitmap", "--show=color", "--page=99999"}, "has 2 pages of pixels; there is no page 99999"},
  };
  for (const auto& [options, message] : cases) {
    std::vector<std::string> args{"fields", file};
    args.insert(args.end(), options.begin(), options.end());
    CliRun run(args);
    SCOPED_TRACE(options.front());
    EXPECT_EQ(run.status, exitRefused);
    EXPECT_EQ(run.out.str(), "");
    EXPECT_NE(run.err.str().find(message), std::string::npos) << run.err.str();
  }
  EXPECT_EQ(CliRun({"fields", file, "picture_1/color_table", "--show=table"}).status, exitOk);
}

}  // namespace
}  // namespace delvix::cli
