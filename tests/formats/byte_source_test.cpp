#include "formats/byte_source.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace delvix::formats {
namespace {

TEST(FileSource, ReadsAlignedBlocksWithinItsLimitAndKeepsEveryView) {
  testing::TempDir dir;
  std::vector<std::uint8_t> bytes(10000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  auto opened = FileSource::open(dir.write("f.bin", bytes), 8192);
  ASSERT_TRUE(opened.source) << opened.error;
  FileSource& file = *opened.source;
  EXPECT_EQ(file.size(), 10000u);

  const Bytes first = file.read(10, 4);
  EXPECT_EQ(file.bytesRead(), 4096u);
  const Bytes inSameBlock = file.read(100, 8);
  EXPECT_EQ(file.bytesRead(), 4096u);
  const Bytes last = file.read(9990, 100);  // cut at the end
  EXPECT_EQ(last.size(), 10u);
  EXPECT_EQ(file.bytesRead(), 4096u + 1808u);
  // Across the first two blocks: 8192 bytes would pass the limit.
  EXPECT_TRUE(file.read(4000, 200).empty());
  EXPECT_TRUE(file.read(10000, 1).empty());

  for (auto [view, offset] : {std::pair{first, 10}, {inSameBlock, 100}, {last, 9990}})
    for (std::size_t i = 0; i < view.size(); ++i) EXPECT_EQ(view[i], bytes[offset + i]) << offset + i;

  EXPECT_EQ(FileSource::open(dir.path()).error, "Not a regular file.");
  EXPECT_NE(FileSource::open(dir.path() / "missing").error.find("No such file"), std::string::npos);
}

}  // namespace
}  // namespace delvix::formats
