// Bitmap headers other than the 40-byte kind in icon images and bitmap resources: read, listed, drawn, saved.
#include <gtest/gtest.h>

#include <memory>

#include "fieldview/apply.h"
#include "fieldview/list_node.h"
#include "fieldview/pixel_table.h"
#include "formats/ico_reader.h"
#include "formats/ico_writer.h"
#include "formats/module_reader.h"
#include "formats/pe/resource_directory.h"
#include "gfx/dib_draw.h"
#include "preview/frame_render.h"
#include "support/icon_builder.h"
#include "support/pe_builder.h"
#include "support/read_helpers.h"

namespace delvix::formats {
namespace {

using gfx::rgb;
using testing::BitmapHeaderSpec;
using testing::ByteVector;
using testing::DibImage;

struct Read {
  model::Document document;
  RecordingReporter reporter;
};

std::unique_ptr<Read> readIcon(const ByteVector& bytes) {
  auto read = std::make_unique<Read>();
  readIconFile(bytes, read->document, {}, read->reporter);
  return read;
}

ByteVector iconOf(const DibImage& image) {
  testing::IconFile file;
  file.entries.push_back({image.bytes()});
  return file.bytes();
}

std::vector<fieldview::Row> rowsOf(const model::Document& document, const model::Node& node) {
  const fieldview::Listing listing = fieldview::listNode(document, node, fieldview::FieldSettings{}, 1);
  std::vector<fieldview::Row> rows;
  for (std::size_t i = 0; i < listing.rows.size(); ++i) rows.push_back(listing.rows.at(i));
  return rows;
}

std::string valueOf(const std::vector<fieldview::Row>& rows, std::string_view caption) {
  for (const auto& row : rows)
    if (row.caption == caption) return row.value;
  return "(none)";
}

constexpr std::array<std::uint32_t, 4> rgb565{0xF800, 0x07E0, 0x001F, 0};
constexpr std::array<std::uint32_t, 4> rgb555{0x7C00, 0x03E0, 0x001F, 0};
constexpr std::array<std::uint32_t, 4> rgbaBytes{0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF};
constexpr std::array<std::uint32_t, 4> bgraBytes{0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};

TEST(LongBitmapHeader, IconImagesAreListedDrawnAndSavedAsRead) {
  struct Case {
    const char* name;
    std::uint32_t headerSize;
    int bitCount;
    std::uint32_t compression;
    std::array<std::uint32_t, 4> masks;
    std::uint32_t pixel;  // of (0, 0), little-endian in the rows
    gfx::Pixel drawn;     // as blended through the alpha view, or plain when there is no alpha
    std::string redMask;
    bool pixelsListed;  // as reserved, red, green and blue bytes
  };
  const std::vector<Case> cases = {
      {"V4 32-bit RGB", 108, 32, 0, {}, 0x80302010, rgb(0x30, 0x20, 0x10, 0x80), "0x00000000", true},
      {"V5 32-bit RGB", 124, 32, 0, {}, 0xFF302010, rgb(0x30, 0x20, 0x10), "0x00000000", true},
      {"V5 16-bit 5-6-5", 124, 16, 3, rgb565, 0x07E0, rgb(0, 255, 0), "0x0000F800", false},
      {"V4 16-bit 5-5-5", 108, 16, 3, rgb555, 0x4210, rgb(0x84, 0x84, 0x84), "0x00007C00", false},
      {"V5 32-bit B, G, R, A bytes", 124, 32, 3, bgraBytes, 0x80302010, rgb(0x30, 0x20, 0x10, 0x80), "0x00FF0000",
       true},
      {"V5 32-bit R, G, B, A bytes", 124, 32, 3, rgbaBytes, 0x30201080, rgb(0x30, 0x20, 0x10, 0x80), "0xFF000000",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DibImage image{.headerSize = c.headerSize, .masks = c.masks, .width = 2, .height = 1, .bitCount = c.bitCount};
    image.compression = c.compression;
    for (int i = 0; i < c.bitCount / 8; ++i) image.colourRows.push_back(static_cast<std::uint8_t>(c.pixel >> (8 * i)));
    const ByteVector bytes = iconOf(image);
    auto read = readIcon(bytes);
    const model::Document& d = read->document;
    ASSERT_EQ(testing::childNames(d.tree.topLevel(1)),
              (std::vector<std::string>{"bitm_info", "color_bitmap", "mask_bitmap"}));
    EXPECT_EQ(d.tree.topLevel(1).child(0).block().size(), c.headerSize);
    EXPECT_FALSE(d.pictures[0].placeholder);

    const auto rows = rowsOf(d, d.tree.topLevel(1).child(0));
    EXPECT_EQ(rows.size(), c.headerSize == 108 ? 11u + 11u : 11u + 15u);
    EXPECT_EQ(valueOf(rows, "RedMask"), c.redMask);
    EXPECT_EQ(valueOf(rows, "CSType"), "'sRGB'");
    EXPECT_EQ(valueOf(rows, "XPelsPerMeter"), "0");
    EXPECT_EQ(fieldview::pixelTableShape(d.tree.topLevel(1).child(1)).has_value(), c.pixelsListed);

    const bool alpha = preview::hasPerPixelAlpha(d, 0);
    EXPECT_EQ(alpha, c.bitCount == 32);
    const preview::Rendering plain = preview::renderPlain(d, 0);
    ASSERT_TRUE(plain.ok()) << plain.logLine;
    EXPECT_EQ(plain.image.at(0, 0), gfx::withoutAlpha(c.drawn) | 0xFF000000u);
    if (alpha) {
      const preview::Rendering blended = preview::renderAlpha(d, 0);
      ASSERT_TRUE(blended.ok());
      EXPECT_EQ(blended.image.at(0, 0), gfx::blendOver(gfx::transparentKey, c.drawn));
    }
    EXPECT_EQ(writeIconFile(d, IconKind::icon).bytes, bytes);
  }
}

TEST(LongBitmapHeader, AnEditOfA40ByteFieldChangesOnlyItsBytes) {
  DibImage image{.headerSize = 124, .masks = rgbaBytes, .width = 2, .height = 1, .bitCount = 32};
  image.compression = 3;
  const ByteVector bytes = iconOf(image);
  auto read = readIcon(bytes);
  model::Node& info = *testing::nodeAt(read->document.tree, "picture_1/bitm_info");
  const auto result = fieldview::applyRow(read->document, info, fieldview::EditMode::bitmapHeader, 7,
                                          {{fieldview::EditBox::edit1, "3780"}});
  ASSERT_EQ(result.kind, fieldview::ApplyResult::Kind::applied);
  // A read-only row past the 40 bytes takes no edit.
  EXPECT_EQ(fieldview::applyRow(read->document, info, fieldview::EditMode::bitmapHeader, 11,
                                {{fieldview::EditBox::edit1, "1"}})
                .kind,
            fieldview::ApplyResult::Kind::nothing);

  ByteVector expected = bytes;
  const std::size_t xPels = 6 + 16 + 24;  // file header, one entry, then the field
  expected[xPels] = 3780 & 0xFF;
  expected[xPels + 1] = 3780 >> 8;
  EXPECT_EQ(writeIconFile(read->document, IconKind::icon).bytes, expected);
}

TEST(LongBitmapHeader, AnIconImageCutShortInItsHeaderKeepsItsBytes) {
  ByteVector bytes = iconOf(DibImage{.headerSize = 124, .width = 2, .height = 1, .bitCount = 32});
  bytes.resize(6 + 16 + 80);
  auto icon = readIcon(bytes);
  EXPECT_TRUE(
      icon->reporter.logged("picture_1: the bitmap header gives its size as 124 bytes, but only 80 are there."));
  EXPECT_TRUE(icon->document.pictures[0].placeholder);
  // The directory's size is the writer's own; the 80 bytes there were are written back.
  const ByteVector written = writeIconFile(icon->document, IconKind::icon).bytes;
  ASSERT_EQ(written.size(), bytes.size());
  EXPECT_TRUE(std::equal(written.begin() + 22, written.end(), bytes.begin() + 22));
}

TEST(LongBitmapHeader, ModuleBitmapsOfEveryHeaderAreDrawnAndListed) {
  struct Case {
    BitmapHeaderSpec header;
    ByteVector rest;   // palette and rows
    gfx::Pixel drawn;  // pixel (0, 0)
    std::size_t rows;  // of the header's field table
    std::vector<std::string> parts;
  };
  const std::vector<std::string> headerOnly{"bitm_info"};
  const std::vector<std::string> withRows{"bitm_info", "color_bitmap"};
  // clang-format off
  const std::vector<Case> cases = {
      // Core: 3-byte colours; one 1-bit row, pixel 0 takes colour 1.
      {{.size = 12, .bitCount = 1}, {0, 0, 0, 0x10, 0x20, 0x30, 0x80, 0, 0, 0}, rgb(0x30, 0x20, 0x10), 5, headerOnly},
      {{.size = 40, .bitCount = 24}, {0x10, 0x20, 0x30, 0}, rgb(0x30, 0x20, 0x10), 11, withRows},
      {{.size = 108, .bitCount = 16, .compression = 3, .masks = rgb565}, {0x1F, 0, 0, 0}, rgb(0, 0, 255), 22, withRows},
      {{.size = 124, .height = -1, .bitCount = 32, .compression = 3, .masks = rgbaBytes}, {0xFF, 0x10, 0x20, 0x30},
       rgb(0x30, 0x20, 0x10), 26, withRows},
  };
  // clang-format on
  testing::PeBuilder builder;
  for (std::size_t i = 0; i < cases.size(); ++i)
    builder.add(pe::rtBitmap, static_cast<std::uint32_t>(i + 1),
                testing::bitmapResource(cases[i].header, cases[i].rest));
  Read read;
  ASSERT_TRUE(readModule(builder.build().bytes, read.document, {}, {}, read.reporter));
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].header.size);
    const model::Node& picture = read.document.tree.topLevel(i).child(0);
    EXPECT_EQ(testing::childNames(picture), cases[i].parts);
    EXPECT_EQ(rowsOf(read.document, picture.child(0)).size(), cases[i].rows);
    EXPECT_FALSE(read.document.pictures[i].placeholder);
    const preview::Rendering plain = preview::renderPlain(read.document, static_cast<int>(i));
    ASSERT_TRUE(plain.ok()) << plain.logLine;
    EXPECT_EQ(plain.image.at(0, 0), cases[i].drawn);
  }
}

TEST(LongBitmapHeader, ABitmapThatCannotBeDrawnSaysWhyWhenSelected) {
  testing::PeBuilder builder;
  ByteVector shortV5 = testing::bitmapResource({.size = 124, .width = 2, .height = 1}, {});
  shortV5.resize(80);
  builder.add(pe::rtBitmap, std::uint32_t{1}, shortV5);
  builder.add(pe::rtBitmap, std::uint32_t{2}, testing::bitmapResource({.size = 64}, ByteVector(8, 0)));
  Read module;
  ASSERT_TRUE(readModule(builder.build().bytes, module.document, {}, {}, module.reporter));
  DibImage fields{.width = 1, .height = 1, .bitCount = 32};
  fields.compression = 3;
  auto bitFields = readIcon(iconOf(fields));
  auto sixteen = readIcon(iconOf(DibImage{.width = 1, .height = 1, .bitCount = 16}));

  struct Case {
    const model::Document& document;
    int index;
    std::string error, why;
  };
  for (const Case& c : std::vector<Case>{
           {module.document, 0, "",
            "Bitmaps. 1: not decoded: the bitmap header gives its size as 124 bytes, but the resource holds 80."},
           {module.document, 1, "", "Bitmaps. 2: not decoded: a bitmap header of 64 bytes is not known."},
           {bitFields->document, 0, "",
            "picture_1: not drawn: the colour masks of its bit fields follow a 40-byte header and are not drawn."},
           {sixteen->document, 0, "Error from color bitmap.",
            "picture_1: not drawn: 16 bits per pixel behind a 40-byte header are not drawn."}}) {
    SCOPED_TRACE(c.why);
    const preview::Rendering plain = preview::renderPlain(c.document, c.index);
    EXPECT_EQ(plain.error, c.error);
    EXPECT_EQ(plain.logLine, c.why);
  }
}

}  // namespace
}  // namespace delvix::formats
