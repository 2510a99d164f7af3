#include "formats/file_content.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace delvix::formats {
namespace {

TEST(FileContent, ReadsWholeFilesSmallAndLarge) {
  testing::TempDir dir;
  for (std::size_t size : {std::size_t{0}, std::size_t{7}, std::size_t{3} << 20}) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 13);
    auto content = FileContent::read(dir.write("f" + std::to_string(size), bytes));
    ASSERT_TRUE(content) << size;
    ASSERT_EQ(content->size(), size);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), content->bytes().begin())) << size;
  }
}

TEST(FileContent, OnlyRegularFilesAreRead) {
  testing::TempDir dir;
  EXPECT_FALSE(FileContent::read(dir.path()));
  EXPECT_FALSE(FileContent::read(dir.path() / "missing"));
}

}  // namespace
}  // namespace delvix::formats
