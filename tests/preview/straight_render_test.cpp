#include "preview/straight_render.h"

#include <gtest/gtest.h>

#include "formats/ico_reader.h"
#include "formats/module_reader.h"
#include "formats/pe/resource_directory.h"
#include "support/icon_builder.h"
#include "support/pe_builder.h"

namespace delvix::preview {
namespace {

using gfx::rgb;
using testing::ByteVector;
using testing::DibImage;

// A 2 x 1 image of `bitCount` bits: the colour rows and mask as given, bottom row first.
ByteVector twoPixels(int bitCount, ByteVector colourRows, std::uint8_t maskBits,
                     std::vector<std::uint32_t> palette = {}) {
  DibImage image{.width = 2, .height = 1, .bitCount = bitCount, .palette = std::move(palette)};
  image.colourRows = std::move(colourRows);
  image.maskRows = {maskBits};
  return image.bytes();
}

TEST(StraightRender, OwnAlphaOrTheMaskAsAlpha) {
  struct Case {
    const char* what;
    ByteVector record;
    gfx::Pixel left, right;
    const char* notice;
  };
  const std::vector<Case> cases = {
      {"32 bits: the alpha bytes, the mask ignored", twoPixels(32, {0, 0, 255, 128, 0, 255, 0, 255}, 0x40),
       rgb(255, 0, 0, 128), rgb(0, 255, 0), ""},
      {"32 bits, every alpha byte 0: the mask", twoPixels(32, {0, 0, 255, 0, 0, 0, 0, 0}, 0x40), rgb(255, 0, 0), 0, ""},
      {"4 bits: mask 1 over a colour inverts, which is transparent",
       twoPixels(4, {0x12, 0, 0, 0}, 0xC0, {0x000000, 0x3366CC, 0x000000}), 0, 0,
       "picture_1: 1 inverting pixel (mask 1 over a colour) is written transparent."},
      {"PNG: as stored", testing::solidPng(2, 1, 0xFF000080), rgb(255, 0, 0, 128), rgb(255, 0, 0, 128), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::IconFile file;
    file.entries.push_back({c.record});
    model::Document document;
    formats::RecordingReporter reporter;
    ASSERT_TRUE(formats::readIconFile(file.bytes(), document, {}, reporter));
    const Rendering rendering = renderStraight(document, 0);
    ASSERT_TRUE(rendering.ok()) << rendering.error << rendering.logLine;
    ASSERT_EQ(rendering.image.width(), 2);
    ASSERT_EQ(rendering.image.height(), 1);
    EXPECT_EQ(rendering.image.at(0, 0), c.left);
    EXPECT_EQ(rendering.image.at(1, 0), c.right);
    EXPECT_EQ(rendering.notice, c.notice);
  }
}

TEST(StraightRender, ModuleBitmapsAreOpaqueTopDownOrNot) {
  const ByteVector bgra = {0, 0, 0xFF, 0x00, 0, 0xFF, 0, 0x00};  // first row red, second green, alpha 0
  testing::PeBuilder builder;
  builder.add(formats::pe::rtBitmap, std::uint32_t{1}, testing::bitmapResource(1, -2, 32, 0, 0, bgra));
  builder.add(formats::pe::rtBitmap, std::uint32_t{2}, testing::bitmapResource(1, 2, 32, 0, 0, bgra));
  model::Document document;
  formats::RecordingReporter reporter;
  ASSERT_TRUE(formats::readModule(builder.build().bytes, document, {}, {}, reporter));
  for (int index : {0, 1}) {
    const Rendering rendering = renderStraight(document, index);
    ASSERT_EQ(rendering.image.height(), 2) << index;
    EXPECT_EQ(rendering.image.at(0, index), rgb(255, 0, 0)) << index;
    EXPECT_EQ(rendering.image.at(0, 1 - index), rgb(0, 255, 0)) << index;
  }
}

}  // namespace
}  // namespace delvix::preview
