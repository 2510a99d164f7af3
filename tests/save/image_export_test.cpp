#include "save/image_export.h"

#include <gtest/gtest.h>

#include "codecs/png_decode.h"
#include "formats/ico_reader.h"
#include "support/icon_builder.h"

namespace delvix::save {
namespace {

TEST(ImageExport, FormatOfExtension) {
  struct Case {
    const char* extension;
    std::optional<ImageFormat> format;
  };
  for (const Case& c : std::vector<Case>{{".bmp", ImageFormat::bmp},
                                         {".BMP", ImageFormat::bmp},
                                         {".jpg", ImageFormat::jpeg},
                                         {".jpeg", ImageFormat::jpeg},
                                         {".JpEg", ImageFormat::jpeg},
                                         {".gif", ImageFormat::gif},
                                         {".png", ImageFormat::png},
                                         {".ico", std::nullopt},
                                         {"png", std::nullopt},
                                         {"", std::nullopt},
                                         {".pngx", std::nullopt}})
    EXPECT_EQ(imageFormatOfExtension(c.extension), c.format) << c.extension;
  EXPECT_EQ(extensionOf(ImageFormat::jpeg), ".jpg");
}

TEST(ImageExport, EmptyAndUnencodablePicturesAreRefused) {
  for (ImageFormat format : {ImageFormat::bmp, ImageFormat::jpeg, ImageFormat::gif, ImageFormat::png}) {
    const Encoded encoded = encodeImage(gfx::Image(), format, {});
    EXPECT_EQ(encoded.error, "There is no picture to save.");
    EXPECT_TRUE(encoded.bytes.empty());
  }
  const Encoded tooWide = encodeImage(gfx::Image(70000, 1), ImageFormat::jpeg, {});
  EXPECT_NE(tooWide.error.find("JPEG"), std::string::npos) << tooWide.error;
  EXPECT_TRUE(tooWide.bytes.empty());
}

TEST(ImageExport, PngHasTheKeyColourTransparentAndTheRestOpaque) {
  gfx::Image picture(2, 1, gfx::transparentKey);
  picture.at(1, 0) = gfx::rgb(10, 20, 30, 7);  // a drawn pixel's alpha is not the picture's
  const Encoded encoded = encodeImage(picture, ImageFormat::png, {});
  ASSERT_EQ(encoded.error, "");
  auto decoded = codecs::decodePng(encoded.bytes);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->at(0, 0), gfx::withoutAlpha(gfx::transparentKey));
  EXPECT_EQ(decoded->at(1, 0), gfx::rgb(10, 20, 30));
}

TEST(ImageExport, OptionsComeFromThePicturesBitCountAndColourTable) {
  testing::IconFile file;
  file.entries.push_back(
      {testing::DibImage{.width = 8, .height = 8, .bitCount = 4, .palette = {0x102030, 0xA0B0C0}}.bytes()});
  file.entries.push_back({testing::DibImage{.width = 8, .height = 8, .bitCount = 24}.bytes()});
  file.entries.push_back({testing::solidPng(8, 8, 0x336699FF)});
  model::Document document;
  formats::RecordingReporter reporter;
  ASSERT_TRUE(formats::readIconFile(file.bytes(), document, {}, reporter));

  const ExportOptions fourBits = exportOptionsOf(document, 0);
  EXPECT_EQ(fourBits.bitCount, 4);
  ASSERT_EQ(fourBits.colourTable.size(), 16u);
  EXPECT_EQ(fourBits.colourTable[0], gfx::rgb(0x10, 0x20, 0x30));
  EXPECT_EQ(fourBits.colourTable[1], gfx::rgb(0xA0, 0xB0, 0xC0));
  EXPECT_EQ(exportOptionsOf(document, 1).bitCount, 24);
  EXPECT_TRUE(exportOptionsOf(document, 1).colourTable.empty());
  EXPECT_EQ(exportOptionsOf(document, 2).bitCount, 32);
  EXPECT_EQ(exportOptionsOf(document, 7).bitCount, 32);  // no such picture

  document.pictures[1].bitCountText = "16";
  EXPECT_EQ(exportOptionsOf(document, 1).bitCount, 32);
  document.pictures[1].bitCountText = "4x";
  EXPECT_EQ(exportOptionsOf(document, 1).bitCount, 32);
  // A colour table block that claims more than it holds gives what it holds.
  model::Node* table = document.tree.findFirst("picture_1")->findChild("color_table");
  table->editBlock().resize(4 + 4 * 3);
  EXPECT_EQ(exportOptionsOf(document, 0).colourTable.size(), 3u);
}

}  // namespace
}  // namespace delvix::save
