#include "preview/frame_render.h"

#include <gtest/gtest.h>
#include <png.h>

#include "formats/ico_reader.h"
#include "formats/le_bytes.h"
#include "formats/module_reader.h"
#include "formats/pe/resource_directory.h"
#include "model/picture_index.h"
#include "support/icon_builder.h"
#include "support/pe_builder.h"

namespace delvix::preview {
namespace {

using gfx::rgb;
using gfx::transparentKey;
using testing::ByteVector;
using testing::DibImage;
using testing::IconFile;

struct Read {
  model::Document document;
  formats::RecordingReporter reporter;
};

std::unique_ptr<Read> readIcon(const std::vector<ByteVector>& records) {
  IconFile file;
  for (const ByteVector& record : records) file.entries.push_back({record});
  auto read = std::make_unique<Read>();
  EXPECT_TRUE(formats::readIconFile(file.bytes(), read->document, {}, read->reporter));
  return read;
}

// Sets the B, G, R, A bytes of pixel (x, y), y counted from the top, of a 32-bit image.
void setPixel(DibImage& image, int x, int y, std::uint32_t bgra) {
  image.colourRows.resize(static_cast<std::size_t>(image.colourStride() * image.height), 0);
  const auto at = static_cast<std::size_t>((image.height - 1 - y) * image.colourStride() + 4 * x);
  for (int i = 0; i < 4; ++i) image.colourRows[at + static_cast<std::size_t>(i)] = (bgra >> (24 - 8 * i)) & 0xFF;
}

void setMaskBit(DibImage& image, int x, int y) {
  image.maskRows.resize(static_cast<std::size_t>(image.maskStride() * image.height), 0);
  image.maskRows[static_cast<std::size_t>((image.height - 1 - y) * image.maskStride() + x / 8)] |=
      static_cast<std::uint8_t>(0x80 >> (x % 8));
}

ByteVector writtenPng(png_uint_32 format, const ByteVector& pixels, const ByteVector& colourMap = {}) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = 2;
  image.height = 1;
  image.format = format;
  image.colormap_entries = static_cast<png_uint_32>(colourMap.size() / 4);
  png_alloc_size_t size = 0;
  const void* map = colourMap.empty() ? nullptr : colourMap.data();
  EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, map));
  ByteVector bytes(size);
  EXPECT_TRUE(png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), 0, map));
  return bytes;
}

TEST(FrameRender, IconImagesShowThroughTheirMaskOrTheirAlpha) {
  DibImage image;  // 32 x 32: the header stores a height of 64
  image.width = image.height = 32;
  setPixel(image, 0, 0, 0x00000000);  // colour 0, alpha 0, masked out
  setMaskBit(image, 0, 0);
  setPixel(image, 1, 0, 0x0000FFFF);  // opaque red
  setPixel(image, 2, 0, 0x0000FF80);  // red at half alpha
  setPixel(image, 0, 31, 0xFF0000FF);
  auto read = readIcon({image.bytes()});

  const Rendering plain = renderPlain(read->document, 0);
  ASSERT_TRUE(plain.ok()) << plain.error << plain.logLine;
  ASSERT_EQ(plain.image.width(), 32);
  ASSERT_EQ(plain.image.height(), 32);
  EXPECT_EQ(plain.image.at(0, 0), transparentKey);
  EXPECT_EQ(plain.image.at(1, 0), rgb(255, 0, 0));
  EXPECT_EQ(plain.image.at(2, 0), rgb(255, 0, 0));
  EXPECT_EQ(plain.image.at(0, 31), rgb(0, 0, 255));

  const Rendering blended = renderAlpha(read->document, 0);
  ASSERT_TRUE(blended.ok()) << blended.error << blended.logLine;
  ASSERT_EQ(blended.image.height(), 32);
  EXPECT_EQ(blended.image.at(0, 0), transparentKey);
  EXPECT_EQ(blended.image.at(1, 0), rgb(255, 0, 0));
  EXPECT_EQ(blended.image.at(2, 0), rgb(255, 127, 127));
  EXPECT_EQ(blended.image.at(0, 31), rgb(0, 0, 255));
}

TEST(FrameRender, PngPicturesHonourTheirAlphaAndOnlyTheirOwnNodes) {
  DibImage next;  // a 16 x 16 bitmap right after the PNG picture
  auto read = readIcon({testing::solidPng(4, 3, 0xFF000080), testing::solidPng(2, 2, 0x00FF0000), next.bytes()});

  const Rendering plain = renderPlain(read->document, 0);
  ASSERT_TRUE(plain.ok()) << plain.logLine;
  ASSERT_EQ(plain.image.width(), 4);
  ASSERT_EQ(plain.image.height(), 3);
  EXPECT_EQ(plain.image.at(3, 2), rgb(255, 0, 0));
  const Rendering blended = renderAlpha(read->document, 0);
  ASSERT_EQ(blended.image.width(), 4);
  EXPECT_EQ(blended.image.at(3, 2), rgb(255, 127, 127));

  EXPECT_EQ(renderPlain(read->document, 1).image.at(1, 1), transparentKey);
  EXPECT_EQ(renderAlpha(read->document, 1).image.at(1, 1), transparentKey);
  EXPECT_EQ(renderPlain(read->document, 2).image.width(), 16);
}

TEST(FrameRender, ModuleBitmapsAtFullHeightOrFromTheirDecoding) {
  const ByteVector rows24 = {0, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0};  // bottom red, middle blue, top green
  const ByteVector bgra = {0, 0, 0xFF, 0xFF, 0, 0xFF, 0, 0x00};             // first row red, second transparent
  const ByteVector rle = {0, 0, 0, 0, 0, 0xFF, 0, 0, 2, 1, 0, 1};           // black, green; two greens
  testing::PeBuilder builder;
  using formats::pe::rtBitmap;
  builder.add(rtBitmap, std::uint32_t{1}, testing::bitmapResource(1, 3, 24, 0, 0, rows24));
  builder.add(rtBitmap, std::uint32_t{2}, testing::bitmapResource(1, -3, 24, 0, 0, rows24));
  builder.add(rtBitmap, std::uint32_t{3}, testing::bitmapResource(2, 1, 8, 1, 2, rle));
  builder.add(rtBitmap, std::uint32_t{4}, testing::bitmapResource(1, 1, 16, 0, 0, {0x00, 0x7C, 0, 0}));
  builder.add(rtBitmap, std::uint32_t{5}, testing::bitmapResource(1, -2, 32, 0, 0, bgra));
  Read read;
  ASSERT_TRUE(formats::readModule(builder.build().bytes, read.document, {}, {}, read.reporter));

  struct Case {
    int index;
    int width, height;
    gfx::Pixel topLeft;
  };
  for (const Case& c : std::vector<Case>{{0, 1, 3, rgb(0, 255, 0)},
                                         {1, 1, 3, rgb(255, 0, 0)},
                                         {2, 2, 1, rgb(0, 255, 0)},
                                         {3, 1, 1, rgb(255, 0, 0)},
                                         {4, 1, 2, rgb(255, 0, 0)}}) {
    SCOPED_TRACE(c.index);
    const Rendering plain = renderPlain(read.document, c.index);
    EXPECT_TRUE(plain.ok()) << plain.error << plain.logLine;
    ASSERT_EQ(plain.image.width(), c.width);
    ASSERT_EQ(plain.image.height(), c.height);
    EXPECT_EQ(plain.image.at(0, 0), c.topLeft);
  }
  const Rendering topDown = renderAlpha(read.document, 4);
  ASSERT_EQ(topDown.image.height(), 2);
  EXPECT_EQ(topDown.image.at(0, 0), rgb(255, 0, 0));
  EXPECT_EQ(topDown.image.at(0, 1), transparentKey);
}

TEST(FrameRender, PerPixelAlphaOnlyWhereTheImageCarriesIt) {
  auto bitmap = [](int bitCount) {
    DibImage image;
    image.bitCount = bitCount;
    return image.bytes();
  };
  const ByteVector rgbPixels = {1, 2, 3, 4, 5, 6};
  const ByteVector colourMap = {255, 0, 0, 255, 0, 0, 0, 0};
  auto read = readIcon({bitmap(8), bitmap(24), bitmap(32), writtenPng(PNG_FORMAT_RGB, rgbPixels),
                        writtenPng(PNG_FORMAT_RGBA, {1, 2, 3, 255, 4, 5, 6, 0}),
                        writtenPng(PNG_FORMAT_RGBA_COLORMAP, {0, 1}, colourMap)});
  const std::vector<bool> expected = {false, false, true, false, true, true};
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(hasPerPixelAlpha(read->document, static_cast<int>(i)), expected[i]) << "picture " << i + 1;
  EXPECT_FALSE(hasPerPixelAlpha(read->document, 6));
  EXPECT_FALSE(hasPerPixelAlpha(read->document, -1));
}

// Pictures whose nodes cannot be drawn, built by hand as editing could leave them.
TEST(FrameRender, PicturesThatCannotBeDrawnSaySo) {
  auto bitmapInfo = [](std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint32_t compression) {
    model::Block info(40, 0);
    formats::setLe32(info, 0, 40);
    formats::setLe32(info, 4, static_cast<std::uint32_t>(width));
    formats::setLe32(info, 8, static_cast<std::uint32_t>(height));
    formats::setLe16(info, 14, bits);
    formats::setLe32(info, 16, compression);
    return info;
  };
  const model::Block rows = {32, 0, 4, 0, 4, 0, 0, 0, 1, 2, 3, 4};
  model::Document document;
  auto& noColour = document.tree.addTopLevel("picture_1");
  noColour.addChild("bitm_info", bitmapInfo(1, 2, 32, 0));
  noColour.addChild("mask_bitmap", rows);
  auto& compressed = document.tree.addTopLevel("picture_2");
  compressed.addChild("bitm_info", bitmapInfo(1, 2, 32, 3));
  compressed.addChild("image_data", model::Block{4, 0, 0, 0, 1, 2, 3, 4});
  document.tree.addTopLevel("picture_3").addChild("image_info", model::Block(16, 0));
  for (auto [width, height] : {std::pair{100000, 200000}, std::pair{0, 2}, std::pair{4, -2}}) {
    auto& picture = document.tree.addTopLevel(model::pictureName(static_cast<int>(document.tree.topLevelCount()) + 1));
    picture.addChild("bitm_info", bitmapInfo(width, height, 32, 0));
    picture.addChild("color_bitmap", rows);
    picture.addChild("mask_bitmap", rows);
  }

  const std::string colourError = "Error from color bitmap.";
  const std::string noInfo = "Didn't be found the 'bitm_info' chunk";
  struct Case {
    int index;
    std::string plainError, plainLog, alphaError;
    bool alphaLogged;
  };
  for (const Case& c : std::vector<Case>{
           {0, colourError, "", colourError, false},
           {1, "",
            "picture_2: not drawn: the colour masks of its bit fields follow a 40-byte header and are not drawn.",
            "You cannot edit the color table for this bitmap. It 'Compression' value isn't 0.", false},
           {2, "", noInfo, "Incorrect bitmap.", false},
           {3, "", "picture_4: 100000 x 100000 pixels are more than can be drawn.", "", true},
           {4, "", "picture_5: a picture of 0 x 1 pixels cannot be drawn.", "", true},
           {5, "", "picture_6: a picture of 4 x -1 pixels cannot be drawn.", "", true},
           {6, "", noInfo, "Incorrect bitmap.", false}}) {
    SCOPED_TRACE(c.index);
    const Rendering plain = renderPlain(document, c.index);
    EXPECT_EQ(plain.error, c.plainError);
    EXPECT_EQ(plain.logLine, c.plainLog);
    EXPECT_TRUE(plain.image.empty());
    const Rendering blended = renderAlpha(document, c.index);
    EXPECT_EQ(blended.error, c.alphaError);
    EXPECT_EQ(!blended.logLine.empty(), c.alphaLogged);
    EXPECT_TRUE(blended.image.empty());
  }
}

}  // namespace
}  // namespace delvix::preview
