#include "save/output_name.h"

#include <gtest/gtest.h>

#include "cli/cli_run.h"
#include "support/icon_builder.h"
#include "support/temp_dir.h"

namespace delvix::save {
namespace {

TEST(PictureFileName, IsPaddedToTheWidthOfTheCount) {
  struct Case {
    std::size_t number, count;
    const char* name;
  };
  for (const Case& c : {Case{1, 9, "picture_1"}, Case{9, 9, "picture_9"}, Case{1, 10, "picture_01"},
                        Case{10, 10, "picture_10"}, Case{7, 99, "picture_07"}, Case{1, 100, "picture_001"},
                        Case{100, 100, "picture_100"}, Case{12, 3, "picture_12"}})
    EXPECT_EQ(pictureFileName(c.number, c.count), c.name) << c.number << " of " << c.count;
}

TEST(PictureFileName, NamesTheFilesThatExtractExportAndThumbnailsWrite) {
  testing::TempDir dir;
  testing::IconFile icon;
  for (int i = 0; i < 10; ++i)
    icon.entries.push_back({testing::DibImage{.width = 16, .height = 16, .bitCount = 4}.bytes()});
  const auto file = dir.write("ten.ico", icon.bytes());
  for (const char* verb : {"extract", "export", "thumbnails"}) {
    const auto out = dir.path() / verb;
    cli::CliRun run({verb, file.string(), out.string()});
    ASSERT_EQ(run.status, cli::exitOk) << verb << run.err.str();
    // thumbnails writes into DIR itself; extract and export into DIR/NAME/.
    const auto folder = std::string(verb) == "thumbnails" ? out : out / "ten.ico";
    const char* extension = std::string(verb) == "extract" ? ".ico" : ".png";
    EXPECT_TRUE(std::filesystem::exists(folder / (std::string("picture_01") + extension))) << verb;
    EXPECT_TRUE(std::filesystem::exists(folder / (std::string("picture_10") + extension))) << verb;
    EXPECT_FALSE(std::filesystem::exists(folder / (std::string("picture_1") + extension))) << verb;
  }
}

}  // namespace
}  // namespace delvix::save
