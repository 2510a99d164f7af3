#include "formats/file_content.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
  const auto fifo = dir.path() / "pipe.ico";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  std::string reason;
  EXPECT_FALSE(FileContent::read(fifo, &reason));  // at once: no writer is waited for
  EXPECT_EQ(reason, "is a FIFO (named pipe), not a regular file");
}

TEST(FileContent, AStreamIsReadToItsEndUpToTheLimit) {
  for (std::size_t sent : {std::size_t{0}, std::size_t{16}, std::size_t{17}}) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const std::string bytes(sent, 'x');
    ASSERT_EQ(write(ends[1], bytes.data(), sent), static_cast<ssize_t>(sent));
    close(ends[1]);
    std::string reason;
    auto content = FileContent::readStream(ends[0], 16, &reason);
    close(ends[0]);
    if (sent <= 16) {
      ASSERT_TRUE(content) << sent;
      EXPECT_EQ(content->size(), sent);
    } else {
      EXPECT_FALSE(content);
      EXPECT_EQ(reason, "more than 16 bytes");
    }
  }
}

}  // namespace
}  // namespace delvix::formats
