// Extraction of whole modules of the sample corpus through delvix-cli.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "cli/commands.h"
#include "formats/ico_reader.h"
#include "support/corpus.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

namespace fs = std::filesystem;

std::map<std::string, int> filesByExtension(const fs::path& dir) {
  std::map<std::string, int> counts;
  for (const auto& entry : fs::directory_iterator(dir)) ++counts[entry.path().extension().string()];
  return counts;
}

TEST(CorpusModuleExtract, EveryGroupAndBitmapBecomesAFile) {
  fs::path module = fs::path(DELVIX_CORPUS_DIR) / "pe" / "resdemo64.dll";
  if (!fs::exists(module)) GTEST_SKIP() << "no sample corpus at " << DELVIX_CORPUS_DIR;
  testing::TempDir dir;
  std::ostringstream out, err;
  std::vector<std::string> args{"extract", module.string(), (dir.path() / "x").string()};
  ASSERT_EQ(runCommandLine(args, {out, err}), exitOk) << err.str();
  const fs::path groups = dir.path() / "x" / "resdemo64.dll";
  auto counts = filesByExtension(groups);
  EXPECT_EQ(counts[".ico"], 3);
  EXPECT_EQ(counts[".cur"], 2);
  EXPECT_EQ(counts[".bmp"], 4);
  EXPECT_TRUE(fs::exists(groups / "APPICON.ico"));

  for (const auto& entry : fs::directory_iterator(groups)) {
    if (entry.path().extension() == ".bmp") continue;
    SCOPED_TRACE(entry.path().filename().string());
    model::Document document;
    formats::RecordingReporter reporter;
    ASSERT_TRUE(formats::readIconFile(entry.path(), document, {}, reporter));
    EXPECT_TRUE(reporter.lines.empty());
    for (const auto& picture : document.pictures) EXPECT_FALSE(picture.placeholder);
  }
}

TEST(CorpusModuleExtract, CursorGroupsOfBothConventionsGetTheirRealHeight) {
  for (const char* name : {"resdemo64.dll", "wine64-user32.dll"}) {
    fs::path module = fs::path(DELVIX_CORPUS_DIR) / "pe" / name;
    if (!fs::exists(module)) GTEST_SKIP() << "no sample corpus at " << DELVIX_CORPUS_DIR;
    SCOPED_TRACE(name);
    testing::TempDir dir;
    std::ostringstream out, err;
    std::vector<std::string> args{"--kinds=cursors", "extract", module.string(), dir.path().string()};
    ASSERT_EQ(runCommandLine(args, {out, err}), exitOk) << err.str();
    int cursors = 0;
    for (const auto& entry : fs::directory_iterator(dir.path() / name)) {
      model::Document document;
      formats::RecordingReporter reporter;
      ASSERT_TRUE(formats::readIconFile(entry.path(), document, {}, reporter));
      const model::Node& header = document.tree.topLevel(0);
      for (std::size_t i = 0; i < header.childCount(); ++i) {
        const auto& dirEntry = header.child(i).block();
        std::string expected =
            std::to_string(dirEntry[0] ? dirEntry[0] : 256) + "x" + std::to_string(dirEntry[1] ? dirEntry[1] : 256);
        EXPECT_EQ(document.pictures[i].sizeText, expected) << entry.path().filename();
        ++cursors;
      }
    }
    EXPECT_GT(cursors, 0);
  }
}

}  // namespace
}  // namespace delvix::cli
