// Every icon and cursor file of the shared sample corpus, when it is there.
#include <gtest/gtest.h>

#include <filesystem>

#include "formats/ico_reader.h"
#include "formats/le_bytes.h"
#include "support/corpus.h"
#include "support/file_bytes.h"
#include "support/read_helpers.h"

namespace delvix::formats {
namespace {

namespace fs = std::filesystem;
using testing::corpusFiles;

int directorySize(std::uint8_t stored) { return stored == 0 ? 256 : stored; }

void checkIconFile(const fs::path& path) {
  SCOPED_TRACE(path.filename().string());
  auto bytes = testing::readFileBytes(path);
  ASSERT_TRUE(bytes);
  model::Document document;
  RecordingReporter reporter;
  bool ok = readIconFile(*bytes, document, {}, reporter);
  bool malformed = path.filename().string().starts_with("malformed-");
  if (!malformed) {
    EXPECT_TRUE(ok);
    EXPECT_TRUE(reporter.dialogs.empty());
  }

  const model::Node* header = testing::nodeAt(document.tree, "header");
  if (!header) return;
  ASSERT_EQ(document.pictures.size(), header->childCount());
  bool cursor = le16(header->block(), 2) == 2;
  for (std::size_t i = 0; i < header->childCount(); ++i) {
    ASSERT_NE(testing::nodeAt(document.tree, "picture_" + std::to_string(i + 1)), nullptr);
    if (malformed) continue;
    const auto& entry = header->child(i).block();
    const auto& picture = document.pictures[i];
    ASSERT_FALSE(picture.placeholder) << "picture " << i + 1;
    int width = directorySize(entry[0]);
    int height = directorySize(entry[1]);
    std::string expected = std::to_string(width) + "x" + std::to_string(height);
    // Cursors extracted from some modules store half the height in the directory.
    std::string halved = std::to_string(width) + "x" + std::to_string(height * 2);
    if (cursor && picture.sizeText == halved) continue;
    EXPECT_EQ(picture.sizeText, expected) << "picture " << i + 1;
  }
}

TEST(CorpusIcons, EveryIconAndCursorFileReads) {
  auto files = corpusFiles("ico");
  auto cursors = corpusFiles("cur");
  files.insert(files.end(), cursors.begin(), cursors.end());
  if (files.empty()) GTEST_SKIP() << "no sample corpus at " << DELVIX_CORPUS_DIR;
  for (const auto& file : files) checkIconFile(file);
}

}  // namespace
}  // namespace delvix::formats
