#include "cli/commands.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli_run.h"
#include "codecs/png_decode.h"
#include "preview/thumbnail.h"
#include "support/file_bytes.h"
#include "support/icon_builder.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

std::vector<std::uint8_t> twoImageIcon() {
  testing::IconFile file;
  file.entries.push_back({testing::DibImage{.width = 16, .height = 16, .bitCount = 4}.bytes()});
  file.entries.push_back({testing::solidPng(48, 48, 0x336699FF)});
  return file.bytes();
}

TEST(CliTree, PrintsOneIndentedNodePerLine) {
  testing::TempDir dir;
  auto icon = dir.write("two.ico", twoImageIcon());
  CliRun run({"tree", icon.string()});
  EXPECT_EQ(run.status, exitOk);
  EXPECT_EQ(run.out.str(),
            "header\n  icon_dir_1\n  icon_dir_2\npicture_1\n  bitm_info\n  color_table\n  color_bitmap\n"
            "  mask_bitmap\npicture_2\n  png_data\n");
  EXPECT_EQ(run.err.str(), "");
}

TEST(CliTree, RefusedFilesAndUsageErrorsHaveTheirOwnExitCodes) {
  testing::TempDir dir;
  auto notIcon = dir.write("bad.ico", {1, 2, 3});
  CliRun refused({"tree", notIcon.string()});
  EXPECT_EQ(refused.status, exitRefused);
  EXPECT_EQ(refused.err.str(), "delvix-cli: " + notIcon.string() +
                                   ": Too little size to be ico(cur)-file.\ndelvix-cli: " + notIcon.string() +
                                   ": This is not ico(cur)-file.\n");

  EXPECT_EQ(CliRun({"tree", (dir.path() / "missing.ico").string()}).status, exitRefused);
  EXPECT_EQ(CliRun({"tree", (dir.path() / "readme.txt").string()}).status, exitRefused);
  EXPECT_EQ(CliRun({}).status, exitUsage);
  EXPECT_EQ(CliRun({"tree"}).status, exitUsage);
  EXPECT_EQ(CliRun({"tree", "--frobnicate", notIcon.string()}).status, exitUsage);
  EXPECT_EQ(CliRun({"frobnicate", "x"}).status, exitUsage);
  CliRun help({"help"});
  EXPECT_EQ(help.status, exitOk);
  EXPECT_NE(help.out.str().find("thumbnails FILE DIR"), std::string::npos);
  CliRun verbHelp({"cut", "--help"});
  EXPECT_EQ(verbHelp.status, exitOk);
  EXPECT_TRUE(
      verbHelp.out.str().starts_with("usage: delvix-cli cut [OPTIONS] FILE FROM TO OUT\n\nremove sample frames"));
  CliRun version({"--version"});
  EXPECT_EQ(version.status, exitOk);
  EXPECT_TRUE(version.out.str().starts_with("delvix-cli 2."));
}

TEST(CliThumbnails, WritesOnePngPerPicture) {
  testing::TempDir dir;
  auto icon = dir.write("two.ico", twoImageIcon());
  auto target = dir.path() / "out";
  CliRun run({"thumbnails", icon.string(), target.string()});
  ASSERT_EQ(run.status, exitOk) << run.err.str();
  for (const char* name : {"picture_1.png", "picture_2.png"}) {
    auto bytes = testing::readFileBytes(target / name);
    ASSERT_TRUE(bytes) << name;
    auto image = codecs::decodePng(*bytes);
    ASSERT_TRUE(image) << name;
    EXPECT_EQ(image->width(), preview::thumbnailBox);
    EXPECT_EQ(image->height(), preview::thumbnailBox);
  }
  auto png = codecs::decodePng(*testing::readFileBytes(target / "picture_2.png"));
  EXPECT_EQ(gfx::withoutAlpha(png->at(5, 5)), gfx::withoutAlpha(gfx::rgb(0x33, 0x66, 0x99)));
}

}  // namespace
}  // namespace delvix::cli

namespace delvix::cli {
namespace {

TEST(CliSave, WritesTheKindTheTargetNames) {
  testing::TempDir dir;
  auto icon = dir.write("two.ico", twoImageIcon());
  auto cursor = dir.path() / "two.cur";
  CliRun run({"save", icon.string(), cursor.string()});
  ASSERT_EQ(run.status, exitOk) << run.err.str();
  auto bytes = *testing::readFileBytes(cursor);
  EXPECT_EQ(bytes[2], 2);
  EXPECT_EQ(bytes.size(), twoImageIcon().size());
  EXPECT_NE(run.err.str().find("saving of file: " + cursor.string()), std::string::npos);

  EXPECT_EQ(CliRun({"save", icon.string(), (dir.path() / "two.bmp").string()}).status, exitUsage);
  EXPECT_EQ(CliRun({"save", (dir.path() / "none.ico").string(), cursor.string()}).status, exitRefused);
}

TEST(CliExtract, WritesEveryPictureAsItsOwnFile) {
  testing::TempDir dir;
  auto icon = dir.write("two.ico", twoImageIcon());
  CliRun run({"extract", icon.string(), (dir.path() / "out").string()});
  ASSERT_EQ(run.status, exitOk) << run.err.str();
  for (const char* name : {"picture_1.ico", "picture_2.ico"}) {
    auto bytes = testing::readFileBytes(dir.path() / "out" / "two.ico" / name);
    ASSERT_TRUE(bytes) << name;
    EXPECT_EQ((*bytes)[4], 1) << name;  // one image
    CliRun tree({"tree", (dir.path() / "out" / "two.ico" / name).string()});
    EXPECT_EQ(tree.status, exitOk) << name;
  }
}

TEST(CliBatch, EveryFileGoesIntoItsOwnFolderAndADamagedOneDoesNotStopTheRest) {
  testing::TempDir dir;
  std::filesystem::create_directories(dir.path() / "in" / "deep");
  dir.write("in/a.ico", twoImageIcon());
  dir.write("in/deep/b.ico", twoImageIcon());
  dir.write("in/bad.ico", {0, 0, 7});
  dir.write("in/notes.txt", {'x'});
  const auto out = dir.path() / "out";
  for (const char* verb : {"extract", "export"}) {
    CliRun flat({verb, (dir.path() / "in").string(), (out / verb / "flat").string()});
    EXPECT_EQ(flat.status, exitRefused) << verb;
    EXPECT_NE(flat.err.str().find("bad.ico failed; going on"), std::string::npos) << verb;
    const std::string extension = std::string(verb) == "extract" ? ".ico" : ".png";
    EXPECT_TRUE(std::filesystem::exists(out / verb / "flat" / "in" / "a.ico" / ("picture_2" + extension))) << verb;
    EXPECT_FALSE(std::filesystem::exists(out / verb / "flat" / "in" / "deep")) << verb;
    EXPECT_FALSE(std::filesystem::exists(out / verb / "flat" / "in" / "notes.txt")) << verb;
    CliRun deep({verb, "-r", (dir.path() / "in" / "a.ico").string(), (dir.path() / "in" / "deep").string(),
                 (out / verb / "deep").string()});
    EXPECT_EQ(deep.status, exitOk) << verb << deep.err.str();
    EXPECT_TRUE(std::filesystem::exists(out / verb / "deep" / "a.ico" / ("picture_1" + extension))) << verb;
    EXPECT_TRUE(std::filesystem::exists(out / verb / "deep" / "deep" / "b.ico" / ("picture_1" + extension))) << verb;
  }
}

TEST(CliBatch, AFolderIsTakenInByWhatItsFilesHold) {
  testing::TempDir dir;
  std::vector<std::uint8_t> cursor = twoImageIcon();
  cursor[2] = 2;
  std::filesystem::create_directories(dir.path() / "in");
  dir.write("in/copy", twoImageIcon());
  dir.write("in/pointer", cursor);
  dir.write("in/sound.ico", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'});
  const auto out = dir.path() / "out";
  CliRun run({"extract", (dir.path() / "in").string(), out.string()});
  EXPECT_EQ(run.status, exitOk) << run.err.str();
  EXPECT_TRUE(std::filesystem::exists(out / "in" / "copy" / "picture_2.ico"));
  EXPECT_TRUE(std::filesystem::exists(out / "in" / "pointer" / "picture_2.cur"));
  EXPECT_FALSE(std::filesystem::exists(out / "in" / "sound.ico"));
}

}  // namespace
}  // namespace delvix::cli
