#include "formats/bmp_file.h"

#include <gtest/gtest.h>

#include "formats/le_bytes.h"
#include "support/icon_builder.h"

namespace delvix::formats {
namespace {

using testing::appendLe16;
using testing::appendLe32;
using Bytes = std::vector<std::uint8_t>;

Bytes packedBitmap(std::uint32_t headerSize, std::uint16_t bits, std::uint32_t compression, std::uint32_t used) {
  Bytes out;
  appendLe32(out, headerSize);
  appendLe32(out, 2);
  appendLe32(out, 2);
  appendLe16(out, 1);
  appendLe16(out, bits);
  appendLe32(out, compression);
  out.resize(headerSize, 0);
  setLe32(out, 32, used);
  return out;
}

TEST(BmpFile, PixelOffsetSkipsHeaderTableAndMasks) {
  struct Case {
    Bytes packed;
    std::uint32_t offset;
  };
  std::vector<Case> cases{
      {packedBitmap(40, 8, 0, 0), 14 + 40 + 1024},
      {packedBitmap(40, 4, 0, 3), 14 + 40 + 12},
      {packedBitmap(40, 24, 0, 0), 14 + 40},
      {packedBitmap(40, 16, 3, 0), 14 + 40 + 12},
      {packedBitmap(124, 32, 3, 0), 14 + 124},
  };
  for (auto& c : cases) {
    c.packed.resize(c.packed.size() + 2000, 0x5A);
    auto file = bmpFileFromPackedBitmap(c.packed);
    ASSERT_TRUE(file);
    EXPECT_EQ((*file)[0], 'B');
    EXPECT_EQ((*file)[1], 'M');
    EXPECT_EQ(le32(*file, 2), file->size());
    EXPECT_EQ(le32(*file, 10), c.offset);
    EXPECT_TRUE(std::equal(c.packed.begin(), c.packed.end(), file->begin() + 14));
  }
}

TEST(BmpFile, RefusesWhatIsNoBitmapHeader) {
  EXPECT_FALSE(bmpFileFromPackedBitmap(Bytes{1, 2}));
  EXPECT_FALSE(bmpFileFromPackedBitmap(Bytes(30, 0)));
  Bytes tooLong = packedBitmap(40, 8, 0, 0);
  setLe32(tooLong, 0, 4000);
  EXPECT_FALSE(bmpFileFromPackedBitmap(tooLong));
}

}  // namespace
}  // namespace delvix::formats
