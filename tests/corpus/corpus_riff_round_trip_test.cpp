// Every animated cursor and wave file of the sample corpus, written back and read again.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "formats/ani_reader.h"
#include "formats/ani_writer.h"
#include "formats/le_bytes.h"
#include "formats/wav_reader.h"
#include "formats/wav_writer.h"
#include "preview/thumbnail.h"
#include "support/corpus.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace delvix::formats {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Names and blocks in tree order; a frame's image count, image size and offset are the writer's to set
// (each frame is written as a one-image icon).
std::vector<std::pair<std::string, model::Block>> nodesOf(const model::Tree& tree) {
  std::vector<std::pair<std::string, model::Block>> nodes;
  tree.forEach([&](const model::Node& node, int) {
    model::Block block = node.block();
    if (node.name() == "image_info" && block.size() == 22) {
      std::fill(block.begin() + 4, block.begin() + 6, 0);
      std::fill(block.begin() + 14, block.end(), 0);
    }
    nodes.emplace_back(node.name(), block);
  });
  return nodes;
}

TEST(CorpusRiffRoundTrip, AnimatedCursorsReadTheSameAfterSaving) {
  auto files = testing::corpusFiles("ani");
  if (files.empty()) GTEST_SKIP() << "no sample corpus at " << DELVIX_CORPUS_DIR;
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    model::Document first, second;
    RecordingReporter reporter;
    ASSERT_TRUE(readAnimatedCursor(*testing::readFileBytes(path), first, {}, reporter));
    WrittenFile written = writeAniFile(first);
    EXPECT_TRUE(written.complete);
    // Every chunk, every entry of the tables and every image of every frame, in the file's order; only a
    // wrong RIFF size is put right (wx-hourglass.ani counts the 8 bytes of the RIFF header too).
    Bytes expected = *testing::readFileBytes(path);
    setLe32(expected, 4, static_cast<std::uint32_t>(expected.size() - 8));
    EXPECT_EQ(written.bytes, expected);
    ASSERT_TRUE(readAnimatedCursor(written.bytes, second, {}, reporter));
    EXPECT_EQ(nodesOf(first.tree), nodesOf(second.tree));
    EXPECT_EQ(first.ani.rates, second.ani.rates);
    EXPECT_EQ(first.ani.sequence, second.ani.sequence);
    ASSERT_EQ(first.pictures.size(), second.pictures.size());
    for (std::size_t i = 0; i < first.pictures.size(); ++i)
      EXPECT_EQ(preview::makeThumbnail(first, static_cast<int>(i)).pixels(),
                preview::makeThumbnail(second, static_cast<int>(i)).pixels());
  }
}

TEST(CorpusRiffRoundTrip, WaveFilesReadTheSameAfterSaving) {
  auto files = testing::corpusFiles("wav");
  if (files.empty()) GTEST_SKIP() << "no sample corpus at " << DELVIX_CORPUS_DIR;
  int checked = 0;
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    model::Document first, second;
    RecordingReporter reporter;
    if (!readWaveFile(*testing::readFileBytes(path), first, reporter)) continue;  // refused kinds (RIFX)
    WrittenFile written = writeWaveFile(first);
    ASSERT_TRUE(readWaveFile(written.bytes, second, reporter));
    EXPECT_EQ(nodesOf(first.tree), nodesOf(second.tree));
    EXPECT_EQ(first.wave.samples, second.wave.samples);
    EXPECT_EQ(first.wave.formatTail, second.wave.formatTail);
    EXPECT_EQ(first.wave.factValue, second.wave.factValue);
    EXPECT_EQ(first.wave.playingTime, second.wave.playingTime);
    ++checked;
  }
  EXPECT_GT(checked, 20);
}

}  // namespace
}  // namespace delvix::formats
