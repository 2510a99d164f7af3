// Every icon and cursor file of the sample corpus, written back and read again; and what peer tools
// make of the written files.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "formats/ico_reader.h"
#include "formats/ico_writer.h"
#include "formats/le_bytes.h"
#include "preview/thumbnail.h"
#include "support/corpus.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace delvix::formats {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using testing::runAndCapture;

std::vector<fs::path> iconCorpus() {
  auto files = testing::corpusFiles("ico");
  for (auto& cursor : testing::corpusFiles("cur")) files.push_back(cursor);
  std::erase_if(files, [](const fs::path& p) { return p.filename().string().starts_with("malformed-"); });
  return files;
}

struct Opened {
  model::Document document;
  RecordingReporter reporter;
  explicit Opened(const Bytes& bytes, const fs::path& name) {
    document.path = name.string();
    readIconFile(bytes, document, {}, reporter);
  }
};

// Images stored back to back right after the directory, each exactly as long as its entry says.
bool isCanonical(const Bytes& file, const model::Document& document) {
  std::uint32_t expected = static_cast<std::uint32_t>(6 + 16 * document.imageCount);
  const model::Node& header = document.tree.topLevel(0);
  for (const auto& entry : header.children()) {
    if (le32(entry->block(), 12) != expected) return false;
    expected += le32(entry->block(), 8);
  }
  return expected == file.size() &&
         std::none_of(document.pictures.begin(), document.pictures.end(), [](auto& p) { return p.placeholder; });
}

// Directory entries minus the size and offset fields, which the writer sets.
void expectSameTree(const model::Tree& a, const model::Tree& b) {
  std::vector<std::pair<std::string, model::Block>> left, right;
  auto collect = [](auto& out) {
    return [&out](const model::Node& node, int) {
      model::Block block = node.block();
      if (node.name().starts_with("icon_dir_")) block.resize(8);
      out.emplace_back(node.name(), block);
    };
  };
  a.forEach(collect(left));
  b.forEach(collect(right));
  EXPECT_EQ(left, right);
}

TEST(CorpusIconRoundTrip, WrittenBackTheFilesReadTheSame) {
  auto files = iconCorpus();
  if (files.empty()) GTEST_SKIP() << "no sample corpus at " << DELVIX_CORPUS_DIR;
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    Bytes original = *testing::readFileBytes(path);
    Opened first(original, path);
    WrittenFile written = writeIconFile(first.document, headerKind(first.document));
    EXPECT_TRUE(written.complete);
    Opened second(written.bytes, path);
    expectSameTree(first.document.tree, second.document.tree);
    ASSERT_EQ(first.document.pictures.size(), second.document.pictures.size());
    for (std::size_t i = 0; i < first.document.pictures.size(); ++i)
      EXPECT_EQ(preview::makeThumbnail(first.document, static_cast<int>(i)).pixels(),
                preview::makeThumbnail(second.document, static_cast<int>(i)).pixels());
    bool sizesAgree =
        std::none_of(first.reporter.lines.begin(), first.reporter.lines.end(),
                     [](const std::string& line) { return line.find("directory gives") != std::string::npos; });
    if (sizesAgree && isCanonical(original, first.document)) {
      EXPECT_EQ(written.bytes, original) << "canonical file changed";
    }
  }
}

// icotool -l prints "--icon --index=1 --width=32 --height=32 --bit-depth=4 --palette-size=16" per image.
TEST(CorpusIconInterop, PeersListTheWrittenImages) {
  if (!testing::haveProgram("icotool")) GTEST_SKIP() << "icotool (icoutils) is not installed";
  auto files = iconCorpus();
  if (files.empty()) GTEST_SKIP() << "no sample corpus at " << DELVIX_CORPUS_DIR;
  testing::TempDir dir;
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    Bytes original = *testing::readFileBytes(path);
    Opened opened(original, path);
    auto target =
        dir.write(path.filename().string(), writeIconFile(opened.document, headerKind(opened.document)).bytes);
    std::string before = runAndCapture("icotool -l '" + path.string() + "' 2>/dev/null");
    std::string after = runAndCapture("icotool -l '" + target.string() + "' 2>/dev/null");
    // icotool refuses some originals for sizes that disagree with their images; the written ones must pass.
    if (before.empty()) {
      EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), opened.document.imageCount) << after;
    } else {
      EXPECT_EQ(after, before);
    }
  }
}

TEST(CorpusIconInterop, ImageMagickDecodesTheWrittenFiles) {
  if (!testing::haveProgram("identify")) GTEST_SKIP() << "identify (ImageMagick) is not installed";
  auto files = testing::corpusFiles("ico");
  if (files.empty()) GTEST_SKIP() << "no sample corpus at " << DELVIX_CORPUS_DIR;
  testing::TempDir dir;
  for (const auto& path : files) {
    if (path.filename().string().starts_with("malformed-")) continue;
    SCOPED_TRACE(path.filename().string());
    Opened opened(*testing::readFileBytes(path), path);
    auto target = dir.write("out.ico", writeIconFile(opened.document, IconKind::icon).bytes);
    std::string before = runAndCapture("identify -format '%w %h\\n' '" + path.string() + "' 2>/dev/null");
    std::string after = runAndCapture("identify -format '%w %h\\n' '" + target.string() + "' 2>/dev/null");
    EXPECT_EQ(after, before);
  }
}

}  // namespace
}  // namespace delvix::formats
