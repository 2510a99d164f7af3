// Sample data in pieces: ranges removed without copying, read and sliced across the pieces.
#include "model/sample_data.h"

#include <gtest/gtest.h>

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

TEST(SampleData, ErasesReadsAndSlicesCrossThePieces) {
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
    for (std::uint64_t offset = 0; offset <= expected.size() + 1; offset += 3) {
      const auto at = expected.begin() + static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(offset, expected.size()));
      const Bytes there(at, at + std::min<std::ptrdiff_t>(9, expected.end() - at));
      Bytes window(9, 0xEE);
      window.resize(data.read(offset, window));
      EXPECT_EQ(window, there) << offset;
      EXPECT_EQ(testing::bytesOf(data.slice(offset, 9)), there) << offset;
    }
    EXPECT_EQ(data, SampleData(SharedBytes::copyOf(expected)));  // however it is pieced
  }
  EXPECT_EQ(testing::bytesOf(SampleData(whole)), *owner);  // the owner is untouched
}

}  // namespace
}  // namespace delvix::model
