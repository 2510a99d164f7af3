#include "preview/thumbnail.h"

#include <gtest/gtest.h>

#include <memory>

#include "formats/ico_reader.h"
#include "formats/module_reader.h"
#include "formats/pe/resource_directory.h"
#include "preview/module_picture_kind.h"
#include "preview/thumbnail_cache.h"
#include "support/icon_builder.h"
#include "support/pe_builder.h"

namespace delvix::preview {
namespace {

using testing::DibImage;
using testing::IconFile;

constexpr gfx::Pixel red = gfx::rgb(255, 0, 0);
constexpr gfx::Pixel blue = gfx::rgb(0, 0, 255);

// A 32-bit picture, red on its left half and blue on its right, opaque.
DibImage halves(int width, int height) {
  DibImage image{.width = width, .height = height, .bitCount = 32};
  image.colourRows.resize(static_cast<std::size_t>(image.colourStride() * height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::size_t at = static_cast<std::size_t>(y * image.colourStride() + x * 4);
      image.colourRows[at + (x < width / 2 ? 2 : 0)] = 255;
      image.colourRows[at + 3] = 255;
    }
  return image;
}

std::unique_ptr<model::Document> iconOf(testing::ByteVector record) {
  IconFile file;
  file.entries.push_back({std::move(record)});
  auto document = std::make_unique<model::Document>();
  formats::RecordingReporter ignored;
  EXPECT_TRUE(formats::readIconFile(file.bytes(), *document, {}, ignored));
  return document;
}

// Every picture shows whole, scaled down when larger than the box and centred in it, transparent around it.
TEST(Thumbnail, ShowsTheWholePictureAtEverySize) {
  struct Case {
    int width, height;
    bool png;
  };
  for (const Case c : {Case{16, 16, false}, Case{32, 32, false}, Case{48, 48, false}, Case{64, 64, false},
                       Case{96, 96, false}, Case{256, 256, false}, Case{256, 256, true}, Case{96, 48, true}}) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + (c.png ? " PNG" : ""));
    const auto document =
        iconOf(c.png ? testing::solidPng(c.width, c.height, 0xFF0000FF) : halves(c.width, c.height).bytes());
    const gfx::Image thumbnail = makeThumbnail(*document, 0);
    ASSERT_EQ(thumbnail.width(), thumbnailBox);
    ASSERT_EQ(thumbnail.height(), thumbnailBox);
    const bool fits = c.width <= thumbnailBox && c.height <= thumbnailBox;
    const bool wide = c.width >= c.height;
    const int shownWidth = fits ? c.width : wide ? thumbnailBox : c.width * thumbnailBox / c.height;
    const int shownHeight = fits ? c.height : wide ? c.height * thumbnailBox / c.width : thumbnailBox;
    const int left = (thumbnailBox - shownWidth) / 2, top = (thumbnailBox - shownHeight) / 2;
    const int middle = top + shownHeight / 2;
    EXPECT_EQ(thumbnail.at(left, middle), red);
    EXPECT_EQ(thumbnail.at(left + shownWidth - 1, middle), c.png ? red : blue);
    EXPECT_EQ(thumbnail.at(left, top), red);
    EXPECT_EQ(thumbnail.at(left + shownWidth - 1, top + shownHeight - 1), c.png ? red : blue);
    if (left > 0) {
      EXPECT_EQ(thumbnail.at(left - 1, middle), 0u);
    }
    if (top > 0) {
      EXPECT_EQ(thumbnail.at(left, top - 1), 0u);
    }
  }
}

// Averaging weighs colours by their alpha: a transparent neighbour thins a pixel, it does not darken it.
TEST(Thumbnail, ScalesDownByAveragingPremultipliedPixels) {
  struct Case {
    std::vector<gfx::Pixel> row;
    gfx::Pixel expected;
  };
  for (const Case& c : {Case{{red, 0}, gfx::rgb(255, 0, 0, 128)}, Case{{red, blue}, gfx::rgb(128, 0, 128)},
                        Case{{0, 0}, 0u}, Case{{red, red, red, blue}, gfx::rgb(191, 0, 64)}}) {
    gfx::Image wide(static_cast<int>(c.row.size()), 1);
    for (std::size_t x = 0; x < c.row.size(); ++x) wide.at(static_cast<int>(x), 0) = c.row[x];
    const gfx::Image fitted = fitInBox(wide, 1);
    ASSERT_EQ(fitted.width(), 1);
    ASSERT_EQ(fitted.height(), 1);
    EXPECT_EQ(fitted.at(0, 0), c.expected);
  }
}

TEST(Thumbnail, PicturesThatCannotBeDrawnShowThePlaceholder) {
  DibImage compressed = halves(16, 16);
  compressed.compression = 1;
  const auto document = iconOf(compressed.bytes());
  ASSERT_TRUE(document->pictures[0].placeholder);
  const gfx::Image thumbnail = makeThumbnail(*document, 0);
  const int left = (thumbnailBox - 32) / 2;
  EXPECT_EQ(thumbnail.at(left, left), gfx::rgb(255, 255, 255));
  EXPECT_EQ(makeThumbnail(*document, 5).pixels(), thumbnail.pixels());  // no such picture
}

TEST(ThumbnailCache, KeepsTheRowsAskedForLastAndNoMore) {
  ThumbnailCache<int> cache(3);
  int made = 0;
  auto make = [&](int row) {
    ++made;
    return row * 10;
  };
  for (int row = 0; row < 100; ++row) EXPECT_EQ(cache.get(row, make), row * 10);
  EXPECT_EQ(cache.size(), 3u);
  EXPECT_EQ(made, 100);
  cache.get(97, make);  // kept: not made again, and now the most recent
  cache.get(10, make);  // made again; 98, asked for least recently, goes
  EXPECT_EQ(made, 101);
  cache.get(97, make);
  cache.get(99, make);
  EXPECT_EQ(made, 101);
  cache.forget(99);
  cache.get(99, make);
  EXPECT_EQ(made, 102);
  EXPECT_EQ(cache.size(), 3u);
}

// The module column tells a row's kind, also for a picture that cannot be drawn.
TEST(ModulePictureKind, EveryRowTellsIconCursorOrBitmap) {
  testing::PeBuilder builder;
  const testing::ByteVector image = halves(16, 16).bytes();
  builder.add(formats::pe::rtIcon, std::uint32_t{1}, image);
  builder.add(formats::pe::rtGroupIcon, std::string("APP [Cursor_1]"), testing::groupResource(1, {{.id = 1}}));
  builder.add(formats::pe::rtGroupIcon, std::uint32_t{7}, testing::groupResource(1, {{.id = 9}}));  // missing
  builder.add(formats::pe::rtCursor, std::uint32_t{2}, testing::cursorResource(1, 1, image));
  builder.add(formats::pe::rtGroupCursor, std::uint32_t{5}, testing::groupResource(2, {{16, 32, 1, 32, 0, 2}}));
  builder.add(formats::pe::rtBitmap, std::uint32_t{3},
              testing::bitmapResource(2, 2, 24, 0, 0, testing::ByteVector(16)));
  model::Document document;
  formats::RecordingReporter ignored;
  ASSERT_TRUE(formats::readModule(builder.build().bytes, document, {}, {}, ignored));
  ASSERT_EQ(document.imageCount, 4);
  const std::vector<std::string> texts{moduleRowText(document, 0), moduleRowText(document, 1),
                                       moduleRowText(document, 2), moduleRowText(document, 3)};
  EXPECT_EQ(texts, (std::vector<std::string>{"APP [Cursor_1] [Icon]", "7 [Icon] none", "5 [Cursor]", "3 [Bitmap]"}));
}

}  // namespace
}  // namespace delvix::preview
