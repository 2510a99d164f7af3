#include "gfx/dib_draw.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "gfx/placeholder.h"
#include "gfx/swatch.h"

namespace delvix::gfx {
namespace {

using Bytes = std::vector<std::uint8_t>;

DrawingHeader header(int width, int height, int bits, std::vector<Pixel> palette = {}) {
  DrawingHeader h;
  h.width = width;
  h.height = height;
  h.bitCount = bits;
  h.palette = std::move(palette);
  return h;
}

Bytes rows(const DrawingHeader& h, std::uint8_t fill) {
  return Bytes(static_cast<std::size_t>(h.rowStride() * h.height), fill);
}

Bytes maskRows(int width, int height, std::uint8_t fill) {
  return Bytes(static_cast<std::size_t>(maskRowStride(width) * height), fill);
}

TEST(MaskedDrawing, FullMaskAndBlackColoursLeaveTheCanvasTransparent) {
  auto h = header(32, 32, 1, {rgb(0, 0, 0), rgb(255, 255, 255)});
  Image canvas = prepareCanvas(32, 32);
  drawMaskedImage(canvas, 32, 32, maskRows(32, 32, 0xFF), rows(h, 0x00), h);
  for (Pixel p : canvas.pixels()) ASSERT_EQ(withoutAlpha(p), withoutAlpha(transparentKey));
}

TEST(MaskedDrawing, MaskBitSetWithWhiteInvertsTheCanvas) {
  auto h = header(8, 1, 1, {rgb(0, 0, 0), rgb(255, 255, 255)});
  Image canvas = prepareCanvas(8, 1);
  drawMaskedImage(canvas, 8, 1, maskRows(8, 1, 0xFF), rows(h, 0xFF), h);
  EXPECT_EQ(withoutAlpha(canvas.at(0, 0)), withoutAlpha(rgb(1, 1, 1)));
}

TEST(MaskedDrawing, MaskBitClearPaintsThePaletteColour) {
  // 4-bit, 2 pixels: indexes 1 and 2; the mask lets only the first through.
  auto h = header(2, 1, 4, {rgb(0, 0, 0), rgb(10, 20, 30), rgb(40, 50, 60)});
  Bytes colour = rows(h, 0);
  colour[0] = 0x12;
  Bytes mask = maskRows(2, 1, 0);
  mask[0] = 0x40;  // second pixel transparent
  Image canvas = prepareCanvas(2, 1);
  drawMaskedImage(canvas, 2, 1, mask, colour, h);
  EXPECT_EQ(withoutAlpha(canvas.at(0, 0)), withoutAlpha(rgb(10, 20, 30)));
  EXPECT_EQ(withoutAlpha(canvas.at(1, 0)), withoutAlpha(rgb(254, 254, 254) ^ rgb(40, 50, 60)));
}

TEST(MaskedDrawing, RowsAreStoredBottomUp) {
  auto h = header(1, 2, 24);
  Bytes colour = rows(h, 0);
  colour[0] = 0xFF;      // bottom row: blue
  colour[4 + 2] = 0xFF;  // top row (second stored row, stride 4): red
  Image canvas = prepareCanvas(1, 2);
  drawMaskedImage(canvas, 1, 2, maskRows(1, 2, 0), colour, h);
  EXPECT_EQ(withoutAlpha(canvas.at(0, 0)), withoutAlpha(rgb(255, 0, 0)));
  EXPECT_EQ(withoutAlpha(canvas.at(0, 1)), withoutAlpha(rgb(0, 0, 255)));
}

TEST(MaskedDrawing, ThirtyTwoBitAlphaIsIgnored) {
  auto h = header(1, 1, 32);
  Bytes colour{0x30, 0x20, 0x10, 0x00};
  Image canvas = prepareCanvas(1, 1);
  drawMaskedImage(canvas, 1, 1, maskRows(1, 1, 0), colour, h);
  EXPECT_EQ(withoutAlpha(canvas.at(0, 0)), withoutAlpha(rgb(0x10, 0x20, 0x30)));
}

TEST(MaskedDrawing, StretchingDoublesEveryPixel) {
  auto h = header(32, 32, 24);
  Bytes colour = rows(h, 0);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      std::size_t at = static_cast<std::size_t>((31 - y) * h.rowStride() + x * 3);
      colour[at] = static_cast<std::uint8_t>(x * 8);
      colour[at + 1] = static_cast<std::uint8_t>(y * 8);
    }
  Image target = prepareCanvas(64, 64);
  drawMaskedImage(target, 64, 64, maskRows(32, 32, 0), colour, h);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      ASSERT_EQ(blue(target.at(x, y)), (x / 2) * 8) << x << "," << y;
      ASSERT_EQ(green(target.at(x, y)), (y / 2) * 8) << x << "," << y;
    }
}

TEST(MaskedDrawing, EveryMaskBitOfAWideRowCountsAtItsOwnSizeAndStretched) {
  auto h = header(12, 1, 8, {rgb(0, 0, 0), rgb(9, 9, 9)});
  Bytes colour = rows(h, 1);
  const Bytes mask{0xA0, 0x50, 0, 0};  // pixels 0, 2, 9 and 11 let the canvas through
  const std::vector<int> through{0, 2, 9, 11};
  for (int scale : {1, 2}) {
    Image canvas = prepareCanvas(12 * scale, 1);
    drawMaskedImage(canvas, 12 * scale, 1, mask, colour, h);
    for (int x = 0; x < 12 * scale; ++x) {
      const bool kept = std::count(through.begin(), through.end(), x / scale) != 0;
      const Pixel expected = kept ? rgb(254 ^ 9, 254 ^ 9, 254 ^ 9) : rgb(9, 9, 9);
      ASSERT_EQ(withoutAlpha(canvas.at(x, 0)), withoutAlpha(expected)) << "scale " << scale << ", x " << x;
    }
  }
}

TEST(MaskedDrawing, MissingRowBytesDrawAsBlackWithoutReadingPastThem) {
  auto h = header(4, 4, 8, {rgb(0, 0, 0), rgb(9, 9, 9)});
  Bytes colour(3, 1);  // far fewer than 16 bytes
  Image canvas = prepareCanvas(4, 4);
  drawMaskedImage(canvas, 4, 4, {}, colour, h);
  EXPECT_EQ(withoutAlpha(canvas.at(0, 3)), withoutAlpha(rgb(9, 9, 9)));
  EXPECT_EQ(withoutAlpha(canvas.at(0, 0)), 0u);
}

TEST(AlphaDrawing, TransparentBlackLeavesTheTargetAlone) {
  auto h = header(2, 2, 32);
  Image target(2, 2, rgb(12, 34, 56));
  drawWithAlpha(target, 2, 2, rows(h, 0), h);
  for (Pixel p : target.pixels()) EXPECT_EQ(p, rgb(12, 34, 56));
}

TEST(AlphaDrawing, StraightSourceOver) {
  auto h = header(1, 1, 32);
  Bytes colour{0, 0, 255, 128};  // red at alpha 128, not premultiplied
  Image target(1, 1, rgb(128, 128, 128));
  drawWithAlpha(target, 1, 1, colour, h);
  EXPECT_EQ(target.at(0, 0), rgb(192, 64, 64));
  EXPECT_EQ(blendOver(rgb(10, 20, 30), rgb(200, 100, 0, 255)), rgb(200, 100, 0));
  EXPECT_EQ(blendOver(rgb(10, 20, 30), rgb(200, 100, 0, 0)), rgb(10, 20, 30));
}

TEST(AlphaDrawing, ImagesWithoutAlphaAreOpaque) {
  auto h = header(1, 1, 24);
  Bytes colour{1, 2, 3, 0};
  Image target(1, 1, rgb(200, 200, 200));
  drawWithAlpha(target, 1, 1, colour, h);
  EXPECT_EQ(withoutAlpha(target.at(0, 0)), withoutAlpha(rgb(3, 2, 1)));
}

TEST(DrawingHeader, TakesTheHeightHalvedForMaskedImages) {
  Bytes info(40, 0);
  info[4] = 48;
  info[8] = 96;
  info[14] = 8;
  Bytes entries{1, 2, 3, 0, 4, 5, 6, 0};
  auto h = DrawingHeader::fromBitmapInfo(info, entries, true);
  EXPECT_EQ(h.width, 48);
  EXPECT_EQ(h.height, 48);
  EXPECT_EQ(h.bitCount, 8);
  ASSERT_EQ(h.palette.size(), 2u);
  EXPECT_EQ(h.palette[1], rgb(6, 5, 4));
  EXPECT_EQ(DrawingHeader::fromBitmapInfo(info, {}, false).height, 96);
  EXPECT_EQ(colourRowStride(48, 24), 144);
  EXPECT_EQ(maskRowStride(33), 8);
}

TEST(Placeholder, WritesNoneInsideTheThumbnail) {
  Image p = makePlaceholder();
  ASSERT_EQ(p.width(), 32);
  ASSERT_EQ(p.height(), 32);
  int ink = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (withoutAlpha(p.at(x, y)) == 0) {
        ++ink;
        EXPECT_GE(x, 4);
        EXPECT_GE(y, 8);
        EXPECT_LT(x, 28);
      }
  EXPECT_GT(ink, 40);
}

TEST(ColourSwatch, DiscsAndSquaresOutlinedInBlackOnATransparentGround) {
  const Image disc = makeColourSwatch(10, 200, 30);
  ASSERT_EQ(disc.width(), 16);
  EXPECT_EQ(disc.at(8, 8), rgb(10, 200, 30));
  EXPECT_EQ(disc.at(0, 0), 0u);
  EXPECT_EQ(disc.at(15, 15), 0u);
  EXPECT_EQ(disc.at(2, 8), rgb(0, 0, 0));
  EXPECT_EQ(disc.at(8, 13), rgb(0, 0, 0));
  EXPECT_EQ(disc.at(8, 14), 0u);

  const Image pair = makeTwoColourSwatch(rgb(255, 0, 0), rgb(0, 0, 255));
  EXPECT_EQ(pair.at(4, 12), rgb(255, 0, 0));
  EXPECT_EQ(pair.at(12, 12), rgb(0, 0, 255));
  EXPECT_EQ(pair.at(4, 4), 0u);
  EXPECT_EQ(pair.at(0, 12), rgb(0, 0, 0));

  const Image square = makeTableSwatch(1, 2, 3);
  EXPECT_EQ(square.at(2, 2), rgb(0, 0, 0));
  EXPECT_EQ(square.at(14, 8), rgb(0, 0, 0));
  EXPECT_EQ(square.at(3, 3), rgb(1, 2, 3));
  EXPECT_EQ(square.at(13, 13), rgb(1, 2, 3));
  EXPECT_EQ(square.at(1, 1), 0u);
  EXPECT_EQ(square.at(15, 15), 0u);
}

}  // namespace
}  // namespace delvix::gfx
