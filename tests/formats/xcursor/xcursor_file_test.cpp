#include "formats/xcursor/xcursor_file.h"

#include <gtest/gtest.h>

#include "support/corpus.h"
#include "support/file_bytes.h"

namespace delvix::formats::xcursor {
namespace {

using Bytes8 = std::vector<std::uint8_t>;

void put(Bytes8& out, std::initializer_list<std::uint32_t> values) {
  for (std::uint32_t v : values)
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// A two-image file laid out as xcursorgen lays it out, with a comment and a byte between two chunks.
XcursorFile sample() {
  XcursorFile file;
  Chunk one{imageType, 24, imageChunkOf(gfx::Image(2, 1, gfx::rgb(200, 100, 50, 128)), 24, 1, 0, 50), {}};
  Chunk two{imageType, 32, imageChunkOf(gfx::Image(1, 2, gfx::rgb(0, 0, 0, 255)), 32, 0, 2, 0), {7}};
  Chunk note{commentType, 3, CommentChunk{3, 1, {}, "made by hand"}, {}};
  file.chunks = {one, two, note};
  file.trailing = {1, 2, 3};
  return file;
}

TEST(XcursorFile, CorpusFilesAreWrittenBackByteForByte) {
  for (const auto& path : testing::corpusFiles("xcursor")) {
    if (path.filename().string().ends_with(".theme")) continue;
    SCOPED_TRACE(path.string());
    const auto bytes = *testing::readFileBytes(path);
    XcursorFile file;
    RecordingReporter reporter;
    ASSERT_TRUE(readXcursor(bytes, file, reporter));
    EXPECT_TRUE(reporter.lines.empty());
    EXPECT_EQ(nominalSizesOf(file).size(), 3u);
    EXPECT_EQ(writeXcursor(file), bytes);
  }
}

TEST(XcursorFile, WrittenFileReadsBackTheSame) {
  const XcursorFile file = sample();
  const auto bytes = writeXcursor(file);
  XcursorFile back;
  RecordingReporter reporter;
  ASSERT_TRUE(readXcursor(bytes, back, reporter));
  EXPECT_EQ(back, file);
  EXPECT_EQ(framesOfSize(back, 32).size(), 1u);
  const auto pixel = straightImage(*framesOfSize(back, 24)[0]).at(1, 0);
  EXPECT_EQ(gfx::alpha(pixel), 128);
  EXPECT_NEAR(gfx::red(pixel), 200, 1);
}

TEST(XcursorFile, DamageIsReportedWithItsPlace) {
  const auto good = writeXcursor(sample());
  struct Case {
    const char* name;
    std::function<void(Bytes8&)> damage;
    bool whole;
    const char* message;
  };
  const Case cases[] = {
      {"not an xcursor", [](Bytes8& b) { b[0] = 'x'; }, false, "does not begin with \"Xcur\""},
      {"header cut", [](Bytes8& b) { b.resize(10); }, false, "cut short"},
      {"huge header", [](Bytes8& b) { b[5] = 0x7F; }, false, "gives its size"},
      {"huge table", [](Bytes8& b) { b[14] = 0xFF; }, false, "has room for"},
      {"chunk beyond end", [](Bytes8& b) { b[16 + 8 + 3] = 0x40; }, false, "outside the file"},
      {"huge image", [](Bytes8& b) { b[52 + 16 + 1] = 0x70; }, true, "pixels"},
      {"type differs", [](Bytes8& b) { b[52 + 4] = 0; }, true, "but the table of contents says"},
      {"kept chunk before one beyond the end",
       [](Bytes8& b) {
         b[52 + 4] = 0;
         b[16 + 12 + 8 + 3] = 0x40;
       },
       false, "but the table of contents says"},
      {"pixels cut", [](Bytes8& b) { b.resize(52 + 36 + 4); }, false, "pixels, but only 4 follow"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes8 bytes = good;
    c.damage(bytes);
    XcursorFile file;
    RecordingReporter reporter;
    EXPECT_EQ(readXcursor(bytes, file, reporter), c.whole);
    ASSERT_FALSE(reporter.lines.empty());
    EXPECT_NE(reporter.lines.front().find(c.message), std::string::npos) << reporter.lines.front();
  }
}

TEST(XcursorFile, ChunksSharingBytesAreNotCopiedWithoutEnd) {
  Bytes8 bytes;
  const std::uint32_t count = 5000;
  put(bytes, {magic, 16, fileVersion, count});
  for (std::uint32_t i = 0; i < count; ++i) put(bytes, {imageType, 32, 16 + count * 12});
  put(bytes, {36, imageType, 32, 1, 64, 64, 0, 0, 0});
  bytes.resize(bytes.size() + 64 * 64 * 4);
  XcursorFile file;
  RecordingReporter reporter;
  EXPECT_FALSE(readXcursor(bytes, file, reporter));
  EXPECT_LT(file.chunks.size(), 10u);
  EXPECT_FALSE(file.layoutKept);
}

TEST(XcursorFile, PremultiplicationKeepsAlphaAndRoundsColour) {
  for (std::uint32_t a : {0u, 1u, 64u, 128u, 255u})
    for (std::uint32_t c : {0u, 1u, 100u, 255u}) {
      const auto straight = gfx::rgb(static_cast<std::uint8_t>(c), 0, 255, static_cast<std::uint8_t>(a));
      const auto back = unpremultiplied(premultiplied(straight));
      EXPECT_EQ(gfx::alpha(back), a);
      if (a >= 128) {
        EXPECT_NEAR(gfx::red(back), c, 1.0) << a;
      }
    }
}

}  // namespace
}  // namespace delvix::formats::xcursor
