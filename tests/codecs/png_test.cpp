#include <gtest/gtest.h>

#include "codecs/png_chunks.h"
#include "codecs/png_decode.h"
#include "codecs/png_encode.h"

namespace delvix::codecs {
namespace {

TEST(Png, RoundTripKeepsColoursAndAlpha) {
  gfx::Image image(3, 2, gfx::rgb(1, 2, 3, 255));
  image.at(2, 1) = gfx::rgb(200, 100, 50, 0);
  auto bytes = encodePng(image);
  ASSERT_TRUE(bytes);
  auto info = readPngInfo(*bytes);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->width, 3);
  EXPECT_EQ(info->height, 2);
  EXPECT_EQ(info->bitsPerPixel(), 32);
  auto decoded = decodePng(*bytes);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->at(0, 0), gfx::rgb(1, 2, 3, 255));
  EXPECT_EQ(gfx::alpha(decoded->at(2, 1)), 0);
}

TEST(Png, NoiseThatDoesNotCompressStillRoundTrips) {
  gfx::Image noise(64, 64);
  std::uint32_t state = 12345;
  for (gfx::Pixel& p : noise.pixels()) p = state = state * 1664525u + 1013904223u;
  auto bytes = encodePng(noise);
  ASSERT_TRUE(bytes);
  EXPECT_GT(bytes->size(), noise.pixels().size() * 4);
  EXPECT_EQ(decodePng(*bytes)->pixels(), noise.pixels());
}

TEST(Png, RefusesDamagedAndOversizedImages) {
  auto bytes = *encodePng(gfx::Image(4, 4, gfx::rgb(9, 9, 9)));
  EXPECT_FALSE(decodePng(std::span(bytes).first(bytes.size() / 2)));
  EXPECT_FALSE(decodePng(bytes, 3));
  std::vector<std::uint8_t> garbage(bytes.begin(), bytes.begin() + 8);
  garbage.resize(64, 0x41);
  EXPECT_FALSE(readPngInfo(garbage));
  EXPECT_FALSE(decodePng(garbage));
  EXPECT_FALSE(hasPngSignature(std::span(bytes).first(7)));
}

TEST(Png, AnIntactStreamHasEveryChunkWholeAndEndsAtIend) {
  const auto bytes = *encodePng(gfx::Image(4, 4, gfx::rgb(9, 9, 9)));
  EXPECT_TRUE(isIntactPng(bytes));
  auto changed = [&](std::size_t at) {
    auto copy = bytes;
    copy[at] ^= 1;
    return copy;
  };
  auto longer = bytes;
  longer.push_back(0);
  EXPECT_FALSE(isIntactPng(changed(bytes.size() - 20)));  // in the image data: its CRC fails
  EXPECT_FALSE(isIntactPng(changed(bytes.size() - 1)));   // IEND's CRC
  EXPECT_FALSE(isIntactPng(changed(11)));                 // IHDR's length
  EXPECT_FALSE(isIntactPng(std::span(bytes).first(bytes.size() - 1)));
  EXPECT_FALSE(isIntactPng(longer));
  EXPECT_FALSE(isIntactPng({}));
}

}  // namespace
}  // namespace delvix::codecs
