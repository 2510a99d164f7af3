#include "formats/byte_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace delvix::formats {
namespace {

TEST(ByteReader, ReadsLittleEndianAndStopsAtTheEnd) {
  const std::uint8_t data[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0xFF};
  ByteReader r(data);
  EXPECT_EQ(r.u16(), 0x0201);
  EXPECT_EQ(r.u32(), 0x06050403u);
  EXPECT_EQ(r.u16(), std::nullopt);  // one byte left: the failed read moves nothing
  EXPECT_EQ(r.position(), 6u);
  EXPECT_EQ(r.u8(), 0xFF);
  EXPECT_TRUE(r.atEnd());
  EXPECT_EQ(r.u8(), std::nullopt);
}

TEST(ByteReader, SignedAndSpans) {
  const std::uint8_t data[] = {0xFE, 0xFF, 0xFF, 0xFF, 'a', 'b'};
  ByteReader r(data);
  EXPECT_EQ(r.i32(), -2);
  EXPECT_FALSE(r.bytes(3));
  auto view = r.bytes(2);
  ASSERT_TRUE(view);
  EXPECT_EQ((*view)[1], 'b');
}

TEST(ByteReader, SeekSkipAndShortCopies) {
  const std::uint8_t data[] = {1, 2, 3, 4};
  ByteReader r(data);
  EXPECT_FALSE(r.seek(5));
  EXPECT_TRUE(r.seek(4));
  EXPECT_TRUE(r.seek(1));
  EXPECT_FALSE(r.skip(4));
  std::uint8_t target[8] = {};
  EXPECT_EQ(r.readSome(target), 3u);
  EXPECT_EQ(target[2], 4);
  EXPECT_EQ(target[3], 0);
}

TEST(RangeFits, GuardsAgainstWrapAround) {
  constexpr auto max = std::numeric_limits<std::uint64_t>::max();
  EXPECT_TRUE(rangeFits(0, 10, 10));
  EXPECT_TRUE(rangeFits(10, 0, 10));
  EXPECT_FALSE(rangeFits(11, 0, 10));
  EXPECT_FALSE(rangeFits(5, 6, 10));
  EXPECT_FALSE(rangeFits(8, max, 10));
  EXPECT_FALSE(rangeFits(max, 2, 10));
}

}  // namespace
}  // namespace delvix::formats
