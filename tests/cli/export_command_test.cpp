#include <gtest/gtest.h>

#include <sstream>

#include "cli/commands.h"
#include "cli_run.h"
#include "codecs/gif/giflib_reader.h"
#include "codecs/png_decode.h"
#include "formats/le_bytes.h"
#include "support/file_bytes.h"
#include "support/icon_builder.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

// A 32 x 32 4-bit image whose left half is masked out, and a 16 x 16 32-bit image whose pixels are half
// transparent red.
std::vector<std::uint8_t> twoImageIcon() {
  testing::DibImage fourBits{.width = 32, .height = 32, .bitCount = 4, .palette = {0x000000, 0x3366CC}};
  for (int y = 0; y < 32; ++y) {
    fourBits.colourRows.insert(fourBits.colourRows.end(), 8, 0x00);
    fourBits.colourRows.insert(fourBits.colourRows.end(), 8, 0x11);
    fourBits.maskRows.insert(fourBits.maskRows.end(), {0xFF, 0xFF, 0x00, 0x00});
  }
  testing::DibImage alpha{.width = 16, .height = 16, .bitCount = 32};
  for (int i = 0; i < 16 * 16; ++i) alpha.colourRows.insert(alpha.colourRows.end(), {0, 0, 255, 128});
  testing::IconFile file;
  file.entries.push_back({fourBits.bytes()});
  file.entries.push_back({alpha.bytes()});
  return file.bytes();
}

gfx::Image decodedPng(const std::filesystem::path& path) {
  auto bytes = testing::readFileBytes(path);
  if (!bytes) return {};
  return codecs::decodePng(*bytes).value_or(gfx::Image());
}

TEST(CliExport, WritesEveryPictureInTheFormatAsked) {
  testing::TempDir dir;
  auto icon = dir.write("two.ico", twoImageIcon());
  const auto out = dir.path() / "out";

  CliRun png({"export", icon.string(), out.string()});
  ASSERT_EQ(png.status, exitOk) << png.err.str();
  const gfx::Image first = decodedPng(out / "picture_1.png");
  ASSERT_EQ(first.width(), 32);
  EXPECT_EQ(gfx::alpha(first.at(0, 0)), 0);  // masked out
  EXPECT_EQ(first.at(31, 0), gfx::rgb(0x33, 0x66, 0xCC));
  EXPECT_EQ(decodedPng(out / "picture_2.png").at(0, 0), gfx::rgb(255, 0, 0, 128));  // its own alpha

  CliRun shown({"export", "--as-shown", icon.string(), out.string()});
  ASSERT_EQ(shown.status, exitOk) << shown.err.str();
  EXPECT_EQ(gfx::alpha(decodedPng(out / "picture_1.png").at(0, 0)), 0);
  // Drawn plainly, a 32-bit pixel shows its colour whatever its alpha.
  EXPECT_EQ(decodedPng(out / "picture_2.png").at(0, 0), gfx::rgb(255, 0, 0));

  // Alpha below 128 is the GIF's transparent entry; the half-transparent red (alpha 128) is opaque.
  ASSERT_EQ(CliRun({"export", icon.string(), out.string(), "--format", "gif", "--zoom", "2"}).status, exitOk);
  for (auto [name, transparent] : {std::pair{"picture_1.gif", true}, std::pair{"picture_2.gif", false}}) {
    auto gif = testing::readFileBytes(out / name);
    ASSERT_TRUE(gif) << name;
    auto read = testing::readWithGiflib(*gif);
    ASSERT_TRUE(read) << name;
    EXPECT_EQ(read->transparentIndex.has_value(), transparent) << name;
    EXPECT_EQ(read->width, name[8] == '1' ? 64 : 32) << name;
  }

  CliRun blended({"export", "--alpha", icon.string(), out.string(), "--zoom", "3"});
  ASSERT_EQ(blended.status, exitOk) << blended.err.str();
  const gfx::Image zoomed = decodedPng(out / "picture_1.png");
  EXPECT_EQ(zoomed.width(), 96);
  EXPECT_EQ(zoomed.height(), 96);
  EXPECT_EQ(zoomed.at(95, 95), gfx::rgb(0x33, 0x66, 0xCC));                          // no alpha channel: drawn plainly
  EXPECT_EQ(decodedPng(out / "picture_2.png").at(47, 47), gfx::rgb(255, 127, 127));  // over the canvas

  CliRun bmp({"export", icon.string(), out.string(), "--format", "bmp"});
  ASSERT_EQ(bmp.status, exitOk) << bmp.err.str();
  for (auto [name, bits] : {std::pair{"picture_1.bmp", 4}, std::pair{"picture_2.bmp", 32}}) {
    auto bytes = testing::readFileBytes(out / name);
    ASSERT_TRUE(bytes) << name;
    EXPECT_EQ(formats::le16(*bytes, 28), bits) << name;
  }
  EXPECT_NE(bmp.err.str().find("file for saving: " + (out / "picture_2.bmp").string()), std::string::npos);

  ASSERT_EQ(CliRun({"export", icon.string(), out.string(), "--format", "jpg"}).status, exitOk);
  EXPECT_TRUE(testing::readFileBytes(out / "picture_2.jpg"));
}

TEST(CliExport, APngPictureIsCopiedUnlessEnlargedOrDamaged) {
  testing::TempDir dir;
  const testing::ByteVector png = testing::solidPng(3, 2, 0x11223380);
  testing::ByteVector damaged = png;
  damaged[damaged.size() - 20] ^= 1;  // in the image data, whose CRC then fails
  testing::IconFile file;
  file.entries = {{png}, {damaged}};
  const auto icon = dir.write("png.ico", file.bytes());
  const auto out = dir.path() / "out";

  CliRun copied({"export", icon.string(), out.string()});
  EXPECT_EQ(testing::readFileBytes(out / "picture_1.png"), png) << copied.err.str();
  EXPECT_NE(testing::readFileBytes(out / "picture_2.png"), damaged);
  CliRun enlarged({"export", icon.string(), out.string(), "--zoom", "2"});
  const gfx::Image zoomed = decodedPng(out / "picture_1.png");
  EXPECT_EQ(zoomed.width(), 6);
  EXPECT_EQ(zoomed.at(5, 3), gfx::rgb(0x11, 0x22, 0x33, 0x80));
}

TEST(CliExport, UsageErrorsAndRefusedFiles) {
  testing::TempDir dir;
  auto icon = dir.write("two.ico", twoImageIcon()).string();
  const std::string out = (dir.path() / "out").string();
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"export", icon},
                                             {"export", icon, out, "-x"},
                                             {"export", icon, out, "--format", "tiff"},
                                             {"export", icon, out, "--format"},
                                             {"export", icon, out, "--zoom", "0"},
                                             {"export", icon, out, "--zoom", "11"},
                                             {"export", icon, out, "--zoom", "2x"},
                                             {"export", icon, out, "--fast"}}) {
    CliRun run(args);
    EXPECT_EQ(run.status, exitUsage) << args.back();
    EXPECT_NE(run.err.str().find("Try 'delvix-cli export --help'"), std::string::npos) << run.err.str();
  }
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(CliRun({"export", (dir.path() / "none.ico").string(), out}).status, exitRefused);
  EXPECT_EQ(CliRun({"export", dir.write("bad.ico", {1, 2, 3}).string(), out}).status, exitRefused);
  // A folder where the file would go cannot be replaced.
  std::filesystem::create_directories(dir.path() / "out" / "picture_1.png");
  CliRun blocked({"export", icon, out});
  EXPECT_EQ(blocked.status, exitRefused);
  EXPECT_TRUE(testing::readFileBytes(dir.path() / "out" / "picture_2.png"));
  CliRun help({"export", "--help"});
  EXPECT_NE(help.out.str().find("-f, --format FORMAT"), std::string::npos);
}

}  // namespace
}  // namespace delvix::cli
