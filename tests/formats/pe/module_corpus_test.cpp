#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/commands.h"
#include "formats/module_reader.h"
#include "formats/pe/resource_counts.h"
#include "support/file_bytes.h"

namespace delvix::formats {
namespace {

namespace fs = std::filesystem;

struct ManifestRow {
  std::string file;
  std::size_t iconGroups = 0, cursorGroups = 0, bitmaps = 0;
};

// The pe/ rows of the corpus manifest: file, then the group and bitmap counts in columns 7 to 9.
std::vector<ManifestRow> moduleRows() {
  std::vector<ManifestRow> rows;
  std::ifstream in(fs::path(DELVIX_CORPUS_DIR) / "MANIFEST.tsv");
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
    if (fields.size() < 9 || !fields[0].starts_with("pe/")) continue;
    rows.push_back({fields[0], std::stoul(fields[6]), std::stoul(fields[7]), std::stoul(fields[8])});
  }
  return rows;
}

std::size_t topLevelEndingIn(const model::Document& document, const std::string& kind) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < document.tree.topLevelCount(); ++i)
    count += document.tree.topLevel(i).name().find(" [" + kind + "_") != std::string::npos;
  return count;
}

// The manifest counts names; the program counts every language of a name. Icon group 1 of resdemo64.dll is
// stored in two languages.
std::size_t otherLanguageIconGroups(const std::string& file) { return file == "pe/resdemo64.dll" ? 1 : 0; }

TEST(ModuleCorpus, CountsAgreeWithTheManifestAndEveryPictureIsAccountedFor) {
  if (!fs::exists(fs::path(DELVIX_CORPUS_DIR) / "pe")) GTEST_SKIP() << "no corpus at " << DELVIX_CORPUS_DIR;
  auto rows = moduleRows();
  ASSERT_FALSE(rows.empty());
  for (const ManifestRow& row : rows) {
    SCOPED_TRACE(row.file);
    auto bytes = testing::readFileBytes(fs::path(DELVIX_CORPUS_DIR) / row.file);
    ASSERT_TRUE(bytes);
    auto counts = pe::countResources(*bytes);
    ASSERT_TRUE(counts);
    const std::size_t iconGroups = row.iconGroups + otherLanguageIconGroups(row.file);
    EXPECT_EQ(counts->iconGroups, iconGroups);
    EXPECT_EQ(counts->cursorGroups, row.cursorGroups);
    EXPECT_EQ(counts->bitmaps, row.bitmaps);

    model::Document document;
    RecordingReporter reporter;
    ASSERT_TRUE(readModule(*bytes, document, {}, {}, reporter));
    EXPECT_EQ(topLevelEndingIn(document, "Icon"), iconGroups);
    EXPECT_EQ(topLevelEndingIn(document, "Cursor"), row.cursorGroups);
    EXPECT_EQ(topLevelEndingIn(document, "Bitmap"), row.bitmaps);
    EXPECT_EQ(document.module.iconsLabel, std::to_string(iconGroups));
    EXPECT_EQ(document.pictures.size(), static_cast<std::size_t>(document.imageCount));
    // A placeholder always comes with a logged reason; real modules decode fully.
    std::size_t placeholders = 0;
    for (const auto& picture : document.pictures) placeholders += picture.placeholder;
    EXPECT_EQ(placeholders, 0u);
    EXPECT_LE(placeholders, reporter.lines.size());
  }
}

TEST(ModuleCorpus, CursorGroupsOfBothHeightConventionsDecodeAtTheirTrueSize) {
  if (!fs::exists(fs::path(DELVIX_CORPUS_DIR) / "pe")) GTEST_SKIP() << "no corpus at " << DELVIX_CORPUS_DIR;
  for (const char* name : {"pe/resdemo64.dll", "pe/wine64-user32.dll"}) {
    SCOPED_TRACE(name);
    model::Document document;
    RecordingReporter reporter;
    ASSERT_TRUE(readModule(fs::path(DELVIX_CORPUS_DIR) / name, document, {}, {false, true, false}, reporter));
    ASSERT_GT(document.imageCount, 0);
    for (const auto& line : reporter.lines) EXPECT_EQ(line.find("cut short"), std::string::npos) << line;
    for (const auto& picture : document.pictures) EXPECT_FALSE(picture.placeholder);
  }
}

TEST(ModuleCorpus, CliInfoPrintsTheThreeCounts) {
  if (!fs::exists(fs::path(DELVIX_CORPUS_DIR) / "pe")) GTEST_SKIP() << "no corpus at " << DELVIX_CORPUS_DIR;
  const std::string path = (fs::path(DELVIX_CORPUS_DIR) / "pe" / "wine64-user32.dll").string();
  std::ostringstream out, err;
  std::vector<std::string> args{"info", path};
  EXPECT_EQ(cli::runCommandLine(args, {out, err}), cli::exitOk);
  // The counts, then a line a group.
  EXPECT_TRUE(out.str().starts_with("icon groups: 7\ncursor groups: 28\nbitmaps: 35\nicon group 32512, language 0: "));

  std::ostringstream someOut, someErr;
  std::vector<std::string> some{"info", "--kinds=cursors", path};
  EXPECT_EQ(cli::runCommandLine(some, {someOut, someErr}), cli::exitOk);
  EXPECT_TRUE(someOut.str().starts_with("icon groups: ?\ncursor groups: 28\nbitmaps: ?\ncursor group 32512, "));

  std::ostringstream treeOut, treeErr;
  std::vector<std::string> tree{"tree", "--kinds=bitmaps", path};
  EXPECT_EQ(cli::runCommandLine(tree, {treeOut, treeErr}), cli::exitOk);
  EXPECT_NE(treeOut.str().find("!num! [Bitmap_35]"), std::string::npos);
  EXPECT_EQ(treeOut.str().find("[Cursor_"), std::string::npos);

  std::ostringstream badOut, badErr;
  std::vector<std::string> notModule{"info", (fs::path(DELVIX_CORPUS_DIR) / "MANIFEST.tsv").string()};
  EXPECT_EQ(cli::runCommandLine(notModule, {badOut, badErr}), cli::exitRefused);
  const std::string manifest = (fs::path(DELVIX_CORPUS_DIR) / "MANIFEST.tsv").string();
  EXPECT_EQ(badErr.str(), "delvix-cli: " + manifest + ": Unsupported file type: " + manifest +
                              " is not an icon, cursor, animated cursor, wave or module\n");
}

}  // namespace
}  // namespace delvix::formats
