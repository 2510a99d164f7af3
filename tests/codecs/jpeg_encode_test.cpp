#include "codecs/jpeg_encode.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace delvix::codecs {
namespace {

// The segment of the JPEG stream that starts with marker 0xFF `code`, without its length; empty when missing.
std::vector<std::uint8_t> segment(const std::vector<std::uint8_t>& jpeg, std::uint8_t code) {
  for (std::size_t at = 2; at + 4 <= jpeg.size() && jpeg[at] == 0xFF;) {
    const std::size_t length = std::size_t{jpeg[at + 2]} << 8 | jpeg[at + 3];
    if (jpeg[at + 1] == code)
      return {jpeg.begin() + static_cast<std::ptrdiff_t>(at + 4),
              jpeg.begin() + static_cast<std::ptrdiff_t>(std::min(at + 2 + length, jpeg.size()))};
    at += 2 + length;
  }
  return {};
}

TEST(JpegEncode, QualityHundredWithoutSubsampling) {
  gfx::Image image(17, 9, gfx::rgb(200, 30, 60));
  image.at(3, 4) = gfx::transparentKey;
  const JpegResult jpeg = encodeJpeg(image);
  ASSERT_EQ(jpeg.error, "");
  ASSERT_GT(jpeg.bytes.size(), 4u);
  EXPECT_EQ(jpeg.bytes[0], 0xFF);
  EXPECT_EQ(jpeg.bytes[1], 0xD8);
  EXPECT_EQ(jpeg.bytes[jpeg.bytes.size() - 2], 0xFF);
  EXPECT_EQ(jpeg.bytes.back(), 0xD9);

  // Baseline frame: precision, height, width, three components each sampled 1 x 1.
  const auto frame = segment(jpeg.bytes, 0xC0);
  ASSERT_EQ(frame.size(), 15u);
  EXPECT_EQ(frame[1] << 8 | frame[2], 9);
  EXPECT_EQ(frame[3] << 8 | frame[4], 17);
  EXPECT_EQ(frame[5], 3);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(frame[7 + 3 * c], 0x11) << "component " << c;

  // Quality 100 divides every coefficient by 1.
  const auto tables = segment(jpeg.bytes, 0xDB);
  ASSERT_GE(tables.size(), 65u);
  EXPECT_TRUE(std::all_of(tables.begin() + 1, tables.begin() + 65, [](std::uint8_t q) { return q == 1; }));
}

TEST(JpegEncode, RefusedImagesComeBackAsErrors) {
  for (const gfx::Image& image : {gfx::Image(), gfx::Image(70000, 1), gfx::Image(1, 70000)}) {
    const JpegResult jpeg = encodeJpeg(image);
    EXPECT_NE(jpeg.error, "") << image.width() << " x " << image.height();
    EXPECT_TRUE(jpeg.bytes.empty());
  }
}

}  // namespace
}  // namespace delvix::codecs
