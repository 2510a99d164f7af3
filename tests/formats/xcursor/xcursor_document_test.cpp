#include "formats/xcursor/xcursor_document.h"

#include <gtest/gtest.h>

#include <fstream>

#include "formats/document_reader.h"
#include "support/corpus.h"
#include "support/file_bytes.h"

namespace delvix::formats::xcursor {
namespace {

// Sizes 24, 32, 24 in file order, a comment and a gap before the second image.
std::vector<std::uint8_t> interleaved() {
  XcursorFile file;
  auto image = [](std::uint32_t size, std::uint32_t delay) {
    return imageChunkOf(gfx::Image(2, 2, gfx::rgb(200, 100, 50, 128)), size, 1, 1, delay);
  };
  file.chunks = {{imageType, 24, image(24, 10), {}},
                 {imageType, 32, image(32, 20), {9, 9}},
                 {imageType, 24, image(24, 30), {}},
                 {commentType, 1, CommentChunk{1, 1, {}, "(c) someone"}, {}}};
  file.trailing = {5};
  return writeXcursor(file);
}

TEST(XcursorDocument, FilesAreWrittenBackFromTheTreeByteForByte) {
  std::vector<std::vector<std::uint8_t>> files{interleaved()};
  for (const auto& path : testing::corpusFiles("xcursor"))
    if (!path.filename().string().ends_with(".theme")) files.push_back(*testing::readFileBytes(path));
  for (const auto& bytes : files) {
    model::Document document;
    RecordingReporter reporter;
    ASSERT_TRUE(readXcursorDocument(bytes, document, reporter));
    EXPECT_EQ(document.kind, model::FileKind::xcursor);
    EXPECT_GT(document.imageCount, 0);
    const WrittenFile written = writeXcursorDocument(document);
    EXPECT_TRUE(written.complete);
    EXPECT_EQ(written.bytes, bytes);
  }
}

TEST(XcursorDocument, PicturesAreNumberedGroupedBySizeAndPlayInFileOrder) {
  model::Document document;
  RecordingReporter reporter;
  ASSERT_TRUE(readXcursorDocument(interleaved(), document, reporter));
  ASSERT_EQ(document.imageCount, 3);
  // picture_2 is the file's third image: the second of size 24.
  EXPECT_EQ(timingOf(document, 1)->delay, 30u);
  EXPECT_EQ(timingOf(document, 2)->nominalSize, 32u);
  EXPECT_EQ(picturesOfSize(document, 24), (std::vector<int>{0, 1}));
  EXPECT_EQ(chunkIndexOf(document, *document.tree.findFirst("picture_2")), 2u);
  EXPECT_EQ(gfx::alpha(xcursorPicture(document, 0).pixels().front()), 128);
  EXPECT_TRUE(document.tree.findFirst("picture_3")->findChild(gapNode));
}

// Every cut and every changed byte of a small file: no crash, what was read writes back, a complete file
// unchanged writes back the same bytes.
TEST(XcursorDocument, DamagedFilesAreReadAsFarAsTheyGo) {
  const auto whole = interleaved();
  for (std::size_t at = 0; at < whole.size(); ++at) {
    for (int damage = 0; damage < 2; ++damage) {
      auto bytes = whole;
      if (damage == 0) {
        bytes.resize(at);
      } else {
        bytes[at] ^= 0xFF;
      }
      model::Document document;
      RecordingReporter reporter;
      const bool read = readXcursorDocument(bytes, document, reporter);
      const WrittenFile written = writeXcursorDocument(document);
      EXPECT_EQ(written.complete, read) << at;
      if (read && reporter.lines.empty()) {
        EXPECT_EQ(written.bytes, bytes) << at;
      }
      if (!read) {
        EXPECT_FALSE(reporter.lines.empty()) << at;
      }
    }
  }
}

TEST(XcursorDocument, ContentDecidesTheKindWhateverTheName) {
  const auto dir = std::filesystem::temp_directory_path() / "xcursor_document_test";
  std::filesystem::create_directories(dir);
  const auto path = dir / "left_ptr.ico";
  {
    const auto bytes = interleaved();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  model::Document document;
  RecordingReporter reporter;
  EXPECT_EQ(readDocument(path, document, {}, reporter), ReadOutcome::read);
  EXPECT_EQ(document.kind, model::FileKind::xcursor);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace delvix::formats::xcursor
