#include "codecs/bmp_encode.h"

#include <gtest/gtest.h>

#include "codecs/bmp_palette.h"
#include "formats/le_bytes.h"
#include "gfx/dib_draw.h"

namespace delvix::codecs {
namespace {

using gfx::Pixel;
using gfx::rgb;

// A BMP file read back through the decoder that draws icon images.
struct ReadBack {
  int bitCount = 0;
  std::vector<Pixel> palette;
  gfx::Image image;
};

ReadBack readBack(const std::vector<std::uint8_t>& file) {
  const std::span<const std::uint8_t> bytes = file;
  ReadBack back;
  back.bitCount = formats::le16(bytes, 28);
  const std::size_t entries = back.bitCount <= 8 ? std::size_t{1} << back.bitCount : 0;
  const auto header = gfx::DrawingHeader::fromBitmapInfo(bytes.subspan(14, 40), bytes.subspan(54, 4 * entries), false);
  back.palette = header.palette;
  back.image = gfx::Image(header.width, header.height);
  for (int y = 0; y < header.height; ++y)
    header.decodeRow(bytes.subspan(formats::le32(bytes, 10)), y,
                     std::span(&back.image.at(0, y), static_cast<std::size_t>(header.width)));
  return back;
}

gfx::Image row(std::vector<Pixel> pixels) {
  gfx::Image image(static_cast<int>(pixels.size()), 1);
  image.pixels() = std::move(pixels);
  return image;
}

// Colours 0..count-1 as distinct greenish pixels, one per column.
gfx::Image ramp(int count) {
  std::vector<Pixel> pixels;
  for (int i = 0; i < count; ++i)
    pixels.push_back(rgb(static_cast<std::uint8_t>(i), 200, static_cast<std::uint8_t>(i / 2)));
  return row(pixels);
}

std::vector<Pixel> opaque(gfx::Image image) {
  for (Pixel& p : image.pixels()) p |= 0xFF000000u;
  return image.pixels();
}

TEST(BmpEncode, WritesTheHeaderOfEachDepth) {
  struct Case {
    int asked, written, width;
    std::uint32_t paletteEntries, stride;
  };
  for (const Case& c : std::vector<Case>{{1, 1, 9, 2, 4},
                                         {4, 4, 9, 16, 8},
                                         {8, 8, 5, 256, 8},
                                         {24, 24, 3, 0, 12},
                                         {32, 32, 3, 0, 12},
                                         {16, 32, 3, 0, 12},
                                         {2, 32, 1, 0, 4},
                                         {64, 32, 1, 0, 4}}) {
    SCOPED_TRACE("asked " + std::to_string(c.asked));
    gfx::Image image(c.width, 3, rgb(10, 20, 30));
    auto file = encodeBmp(image, c.asked);
    ASSERT_TRUE(file);
    const std::span<const std::uint8_t> b = *file;
    const std::uint32_t rowsAt = 14 + 40 + 4 * c.paletteEntries;
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(formats::le32(b, 2), file->size());
    EXPECT_EQ(formats::le32(b, 10), rowsAt);
    EXPECT_EQ(formats::le32(b, 14), 40u);
    EXPECT_EQ(formats::les32(b, 18), c.width);
    EXPECT_EQ(formats::les32(b, 22), 3);  // bottom-up
    EXPECT_EQ(formats::le16(b, 26), 1);
    EXPECT_EQ(formats::le16(b, 28), c.written);
    EXPECT_EQ(formats::le32(b, 30), 0u);
    EXPECT_EQ(formats::le32(b, 34), 3 * c.stride);
    EXPECT_EQ(file->size(), rowsAt + 3 * c.stride);
    EXPECT_EQ(opaque(readBack(*file).image), image.pixels());
  }
  EXPECT_FALSE(encodeBmp(gfx::Image(), 24));
}

TEST(BmpEncode, PaletteIsThePicturesColoursItsTableOrAStandardSet) {
  const Pixel key = gfx::transparentKey;
  const std::vector<Pixel> table{rgb(0, 0, 0), rgb(250, 0, 0), rgb(0, 0, 250), key};
  struct Case {
    std::string name;
    gfx::Image image;
    int bitCount;
    std::vector<Pixel> table;
    std::vector<Pixel> expectedPalette;  // its first entries
    std::vector<Pixel> expectedPixels;   // empty: not checked
  };
  std::vector<Case> cases{
      {"two colours at 1 bit", row({key, rgb(1, 2, 3), key}), 1, {}, {key, rgb(1, 2, 3)}, {key, rgb(1, 2, 3), key}},
      {"16 colours at 4 bits", ramp(16), 4, {}, opaque(ramp(16)), opaque(ramp(16))},
      {"colours that the table holds keep its order",
       row({key, rgb(0, 0, 250)}),
       4,
       table,
       table,
       {key, rgb(0, 0, 250)}},
      {"too many colours take the table's nearest", ramp(17), 4, table, table, std::vector<Pixel>(17, rgb(0, 0, 0))},
      {"too many colours without a table take VGA's nearest",
       row({rgb(250, 10, 10), rgb(130, 120, 0), rgb(190, 190, 200), rgb(1, 2, 3), key, rgb(0, 250, 250), rgb(9, 9, 9),
            rgb(90, 0, 120), rgb(200, 0, 0), rgb(7, 7, 7), rgb(6, 6, 6), rgb(5, 5, 5), rgb(4, 4, 4), rgb(3, 3, 3),
            rgb(2, 2, 2), rgb(1, 1, 1), rgb(0, 0, 0)}),
       4,
       {},
       {rgb(0, 0, 0), rgb(128, 0, 0), rgb(0, 128, 0), rgb(128, 128, 0), rgb(0, 0, 128), rgb(128, 0, 128),
        rgb(0, 128, 128), rgb(192, 192, 192), rgb(128, 128, 128), rgb(255, 0, 0)},
       {rgb(255, 0, 0), rgb(128, 128, 0), rgb(192, 192, 192), rgb(0, 0, 0), rgb(255, 255, 255), rgb(0, 255, 255),
        rgb(0, 0, 0), rgb(128, 0, 128), rgb(255, 0, 0), rgb(0, 0, 0), rgb(0, 0, 0), rgb(0, 0, 0), rgb(0, 0, 0),
        rgb(0, 0, 0), rgb(0, 0, 0), rgb(0, 0, 0), rgb(0, 0, 0)}},
      {"three colours at 1 bit take black or white",
       row({key, rgb(1, 2, 3), rgb(100, 100, 100)}),
       1,
       {},
       {rgb(0, 0, 0), rgb(255, 255, 255)},
       {rgb(255, 255, 255), rgb(0, 0, 0), rgb(0, 0, 0)}},
      {"257 colours at 8 bits take the colour cube",
       ramp(257),
       8,
       {},
       {rgb(0, 0, 0), rgb(0, 0, 51), rgb(0, 0, 102)},
       {}},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto file = encodeBmp(c.image, c.bitCount, c.table);
    ASSERT_TRUE(file);
    const ReadBack back = readBack(*file);
    EXPECT_EQ(back.bitCount, c.bitCount);
    ASSERT_GE(back.palette.size(), c.expectedPalette.size());
    EXPECT_EQ(std::vector<Pixel>(back.palette.begin(), back.palette.begin() + c.expectedPalette.size()),
              c.expectedPalette);
    if (!c.expectedPixels.empty()) {
      EXPECT_EQ(back.image.pixels(), c.expectedPixels);
    }
  }
}

TEST(BmpEncode, ThirtyTwoBitsWriteTheCanvasKeyTransparent) {
  auto file = *encodeBmp(row({gfx::transparentKey, rgb(1, 2, 3), rgb(254, 254, 253)}), 32);
  const std::size_t rows = 54;
  EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + rows, file.end()),
            (std::vector<std::uint8_t>{254, 254, 254, 0, 3, 2, 1, 255, 253, 254, 254, 255}));
}

TEST(BmpPalette, StandardPalettesAndLimits) {
  EXPECT_EQ(standardPalette(1).size(), 2u);
  EXPECT_EQ(standardPalette(4).size(), 16u);
  const auto cube = standardPalette(8);
  ASSERT_EQ(cube.size(), 256u);
  EXPECT_EQ(cube[251], rgb(255, 255, 255));
  EXPECT_EQ(cube[252], rgb(32, 32, 32));
  EXPECT_EQ(distinctColours(ramp(256), 256)->size(), 256u);
  EXPECT_FALSE(distinctColours(ramp(257), 256));
  EXPECT_FALSE(distinctColours(ramp(3), 2));
}

}  // namespace
}  // namespace delvix::codecs
