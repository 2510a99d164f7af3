#include <gtest/gtest.h>

#include "gfx/dib_decode.h"
#include "support/pe_builder.h"

namespace delvix::gfx {
namespace {

using testing::appendLe32;
using testing::bitmapResource;
using testing::ByteVector;

constexpr Pixel black = rgb(0, 0, 0);
constexpr Pixel red = rgb(255, 0, 0);
constexpr Pixel blue = rgb(0, 0, 255);

ByteVector palette(std::initializer_list<std::uint32_t> colours) {
  ByteVector out;
  for (std::uint32_t c : colours) appendLe32(out, c);
  return out;
}

ByteVector join(ByteVector a, const ByteVector& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(PeBitmapDecode, PalettedAndDirectColourRowsBottomUpAndTopDown) {
  // 2 x 2, 4-bit, two stored colours (biClrUsed 2): the rows follow the two entries.
  ByteVector rows4 = {0x01, 0, 0, 0, 0x10, 0, 0, 0};  // bottom row: 0,1; top row: 1,0
  auto four = decodePackedDib(bitmapResource(2, 2, 4, 0, 2, join(palette({0xFF0000, 0x0000FF}), rows4)), 1 << 20);
  ASSERT_TRUE(four.image) << four.problem;
  EXPECT_EQ(four.image->at(0, 1), red);
  EXPECT_EQ(four.image->at(1, 1), blue);
  EXPECT_EQ(four.image->at(0, 0), blue);

  ByteVector rows24 = {0, 0, 255, 0, 255, 0, 0, 0};  // bottom red, top blue (stride 4)
  auto bottomUp = decodePackedDib(bitmapResource(1, 2, 24, 0, 0, rows24), 1 << 20);
  auto topDown = decodePackedDib(bitmapResource(1, -2, 24, 0, 0, rows24), 1 << 20);
  ASSERT_TRUE(bottomUp.image && topDown.image);
  EXPECT_EQ(bottomUp.image->at(0, 1), red);
  EXPECT_EQ(bottomUp.image->at(0, 0), blue);
  EXPECT_EQ(topDown.image->at(0, 0), red);

  ByteVector rows1 = {0x80, 0, 0, 0};
  auto one = decodePackedDib(bitmapResource(2, 1, 1, 0, 0, join(palette({0, 0xFFFFFF}), rows1)), 1 << 20);
  ASSERT_TRUE(one.image);
  EXPECT_EQ(one.image->at(0, 0), rgb(255, 255, 255));
  EXPECT_EQ(one.image->at(1, 0), black);

  ByteVector rows8 = {1, 0, 0, 0};
  auto eight = decodePackedDib(bitmapResource(1, 1, 8, 0, 2, join(palette({0, 0x00FF00}), rows8)), 1 << 20);
  ASSERT_TRUE(eight.image);
  EXPECT_EQ(eight.image->at(0, 0), rgb(0, 255, 0));
}

TEST(PeBitmapDecode, SixteenAndThirtyTwoBitsWithAndWithoutBitFields) {
  ByteVector rgb555 = {0x00, 0x7C, 0, 0};  // red in 5-5-5
  auto plain16 = decodePackedDib(bitmapResource(1, 1, 16, 0, 0, rgb555), 16);
  ASSERT_TRUE(plain16.image);
  EXPECT_EQ(plain16.image->at(0, 0), red);

  ByteVector masks565 = palette({0xF800, 0x07E0, 0x001F});
  ByteVector green565 = {0xE0, 0x07, 0, 0};
  auto fields16 = decodePackedDib(bitmapResource(1, 1, 16, 3, 0, join(masks565, green565)), 16);
  ASSERT_TRUE(fields16.image) << fields16.problem;
  EXPECT_EQ(fields16.image->at(0, 0), rgb(0, 255, 0));

  ByteVector masksRgba = palette({0x000000FF, 0x0000FF00, 0x00FF0000});
  ByteVector pixel = {0xFF, 0, 0, 0x80};  // red in the lowest byte
  auto fields32 = decodePackedDib(bitmapResource(1, 1, 32, 3, 0, join(masksRgba, pixel)), 16);
  ASSERT_TRUE(fields32.image);
  EXPECT_EQ(fields32.image->at(0, 0), red);
}

TEST(PeBitmapDecode, RunLengthEncodedWithEscapes) {
  // 4 x 3 RLE8: row 0 = run of 3 x index 1; end of line; row 1 = absolute 1,0,1 (padded); delta to (1, 2);
  // 1 x index 1; end of bitmap.
  ByteVector rle8 = {3, 1, 0, 0, 0, 3, 1, 0, 1, 0, 0, 2, 1, 1, 1, 1, 0, 1};
  auto eight = decodePackedDib(bitmapResource(4, 3, 8, 1, 2, join(palette({0, 0xFF0000}), rle8)), 64);
  ASSERT_TRUE(eight.image) << eight.problem;
  const Image& a = *eight.image;
  EXPECT_EQ(a.at(0, 2), red);
  EXPECT_EQ(a.at(2, 2), red);
  EXPECT_EQ(a.at(3, 2), black);
  EXPECT_EQ(a.at(0, 1), red);
  EXPECT_EQ(a.at(1, 1), black);
  EXPECT_EQ(a.at(2, 1), red);
  // The delta moves from (3, 1) by (1, 1) to (4, 2): past the row's end, so nothing of row 2 is painted.
  EXPECT_EQ(a.at(1, 0), black);

  // 4 x 1 RLE4: run of 3 alternating 1,2; absolute 1 nibble of 1.
  ByteVector rle4 = {3, 0x12, 0, 3, 0x11, 0x10, 0, 1};
  auto four = decodePackedDib(bitmapResource(4, 1, 4, 2, 3, join(palette({0, 0xFF0000, 0x0000FF}), rle4)), 64);
  ASSERT_TRUE(four.image) << four.problem;
  EXPECT_EQ(four.image->at(0, 0), red);
  EXPECT_EQ(four.image->at(1, 0), blue);
  EXPECT_EQ(four.image->at(2, 0), red);
  EXPECT_EQ(four.image->at(3, 0), red);

  // Runs and escapes cut off anywhere end the decoding without reading past the data.
  ByteVector whole = bitmapResource(4, 3, 8, 1, 2, join(palette({0, 0xFF0000}), rle8));
  for (std::size_t size = 12; size <= whole.size(); ++size) decodePackedDib(std::span(whole).first(size), 64);
}

TEST(PeBitmapDecode, RefusesWhatCannotBeABitmapBeforeAllocating) {
  EXPECT_FALSE(decodePackedDib(bitmapResource(100000, 100000, 1, 0, 0, {}), 1 << 20).image);
  EXPECT_FALSE(decodePackedDib(bitmapResource(0, 4, 24, 0, 0, {}), 1 << 20).image);
  EXPECT_FALSE(decodePackedDib(bitmapResource(4, 4, 24, 1, 0, {}), 1 << 20).image);  // RLE8 at 24 bits
  EXPECT_FALSE(decodePackedDib(bitmapResource(4, -4, 8, 1, 0, {}), 1 << 20).image);  // top-down RLE
  EXPECT_FALSE(decodePackedDib(bitmapResource(4, 4, 7, 0, 0, {}), 1 << 20).image);
  EXPECT_FALSE(decodePackedDib(ByteVector{40, 0, 0}, 1 << 20).image);
  // Rows cut short decode, the missing pixels black.
  auto cut = decodePackedDib(bitmapResource(2, 2, 24, 0, 0, {0, 0, 255}), 16);
  ASSERT_TRUE(cut.image);
  EXPECT_EQ(cut.image->at(0, 1), red);
  EXPECT_EQ(cut.image->at(0, 0), black);
}

}  // namespace
}  // namespace delvix::gfx
