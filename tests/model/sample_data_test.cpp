// Sample data in pieces: ranges removed without copying, read and sliced across the pieces.
#include "model/sample_data.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "support/sample_bytes.h"

namespace delvix::model {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes counting(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
  return bytes;
}

TEST(SampleData, ErasesKeepThePiecesInTheOwnerAndReadsCrossThem) {
  const auto owner = std::make_shared<const Bytes>(counting(100));
  const SharedBytes whole(owner, *owner);
  SampleData data = whole;
  Bytes expected = *owner;
  struct Erase {
    std::uint64_t offset, count;
  };
  const Erase erases[] = {
      {40, 10},  // the middle: two pieces
      {10, 5},   // inside the first piece
      {30, 10},  // across a join: the end of one piece and the start of the next
      {0, 3},    // the start
      {70, 50},  // to the end and past it
      {5, 0},    // nothing
      {90, 1},   // past the end: nothing
      {8, 40},   // across several joins
  };
  std::size_t erased = 0;
  for (const Erase& e : erases) {
    SCOPED_TRACE(::testing::Message() << "erase " << e.offset << ", " << e.count);
    data.erase(e.offset, e.count);
    const auto from = static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(e.offset, expected.size()));
    const auto to = static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(e.offset + e.count, expected.size()));
    expected.erase(expected.begin() + from, expected.begin() + to);
    ++erased;
    ASSERT_EQ(data.size(), expected.size());
    EXPECT_EQ(testing::bytesOf(data), expected);
    EXPECT_LE(data.pieces().size(), erased + 1);
    const std::less_equal<const std::uint8_t*> notAfter;
    for (const SharedBytes& piece : data.pieces()) {
      EXPECT_FALSE(piece.empty());
      EXPECT_TRUE(notAfter(owner->data(), piece.data()) &&
                  notAfter(piece.data() + piece.size(), owner->data() + owner->size()));
    }
    for (std::uint64_t offset = 0; offset <= expected.size() + 1; offset += 3) {
      Bytes window(9, 0xEE);
      const std::size_t n = data.read(offset, window);
      const std::size_t there = offset < expected.size() ? std::min<std::size_t>(9, expected.size() - offset) : 0;
      ASSERT_EQ(n, there) << offset;
      EXPECT_TRUE(std::equal(window.begin(), window.begin() + static_cast<std::ptrdiff_t>(n),
                             expected.begin() + static_cast<std::ptrdiff_t>(offset)))
          << offset;
      EXPECT_EQ(testing::bytesOf(data.slice(offset, 9)),
                Bytes(window.begin(), window.begin() + static_cast<std::ptrdiff_t>(n)));
    }
    // Equal to the same bytes in one piece; a byte changed is a difference.
    EXPECT_EQ(data, SampleData(SharedBytes::copyOf(expected)));
    if (!expected.empty()) {
      expected.back() ^= 1;
      EXPECT_NE(data, SampleData(SharedBytes::copyOf(expected)));
      expected.back() ^= 1;
    }
    EXPECT_EQ(data.contiguous().has_value(), data.pieces().size() <= 1);
  }
  EXPECT_EQ(testing::bytesOf(SampleData(whole)), *owner);  // the owner is untouched
}

}  // namespace
}  // namespace delvix::model
