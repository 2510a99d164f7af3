// Extraction of whole modules of the sample corpus through delvix-cli.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
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
  EXPECT_EQ(counts[".ico"], 4);  // icon group 1 in two languages
  EXPECT_EQ(counts[".cur"], 2);
  EXPECT_EQ(counts[".bmp"], 4);
  EXPECT_TRUE(fs::exists(groups / "APPICON.ico"));
  EXPECT_TRUE(fs::exists(groups / "1_1033.ico"));

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

std::string fileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// What wrestool writes beside the icon or cursor file, taken away: its files end with as many more bytes as the
// group resource holds (left in its buffer), and its cursor entries keep the group's height (twice the picture's
// in most modules) and count the hot spot's 4 bytes into the image's size. Those fields are blanked in both.
std::string withoutWrestoolExtras(std::string file, std::size_t trailing, bool cursor) {
  file.resize(file.size() >= trailing ? file.size() - trailing : 0);
  const std::size_t entries = file.size() >= 6 ? static_cast<unsigned char>(file[4]) : 0;
  for (std::size_t i = 0; cursor && i < entries && 6 + 16 * (i + 1) <= file.size(); ++i)
    for (std::size_t at : {1, 8, 9, 10, 11}) file[6 + 16 * i + at] = 0;
  return file;
}

// Every icon group, cursor group and bitmap is one file, as wrestool -x writes them: each language of a name
// (the first under NAME, the others as NAME_LANG), and the icons and cursors are wrestool's bytes.
TEST(CorpusModuleExtract, WritesWhatWrestoolWritesOfEveryLanguage) {
  if (!testing::haveProgram("wrestool")) GTEST_SKIP() << "icoutils is not installed";
  const std::vector<fs::path> modules = testing::corpusFiles("pe");
  if (modules.empty()) GTEST_SKIP() << "no sample corpus at " << DELVIX_CORPUS_DIR;
  const std::regex listed(R"(--type=(\d+) --name=('?)(.*?)\2 --language=(\d+) .* size=(\d+)\])");
  for (const fs::path& module : modules) {
    SCOPED_TRACE(module.filename().string());
    testing::TempDir dir;
    const fs::path output = dir.path() / "delvix", ours = output / module.filename(), theirs = dir.path() / "wrestool";
    fs::create_directories(theirs);
    std::ostringstream out, err;
    std::vector<std::string> args{"extract", module.string(), output.string()};
    EXPECT_EQ(runCommandLine(args, {out, err}), exitOk) << err.str();
    const std::string quotedModule = "'" + module.string() + "'";
    testing::runAndCapture("wrestool -x -o '" + theirs.string() + "' " + quotedModule + " 2>/dev/null");
    EXPECT_EQ(filesByExtension(ours), filesByExtension(theirs));

    std::istringstream list(testing::runAndCapture("wrestool -l " + quotedModule + " 2>/dev/null"));
    std::set<std::string> seen;  // type and name: the first line of each is its first language
    for (std::string line; std::getline(list, line);) {
      std::smatch match;
      if (!std::regex_match(line, match, listed) || (match[1] != "14" && match[1] != "12")) continue;
      const std::string name = match[3], language = match[4];
      const bool first = seen.insert(match[1].str() + "/" + name).second, cursor = match[1] == "12";
      const fs::path file = ours / (name + (first ? "" : "_" + language) + (cursor ? ".cur" : ".ico"));
      SCOPED_TRACE(file.filename().string());
      const fs::path theirFile = dir.path() / "one";
      testing::runAndCapture("wrestool -x --type=" + match[1].str() + " --name='" + name + "' --language=" + language +
                             " " + quotedModule + " > '" + theirFile.string() + "'");
      const auto groupSize = static_cast<std::size_t>(std::stoul(match[5]));
      EXPECT_EQ(withoutWrestoolExtras(fileBytes(file), 0, cursor),
                withoutWrestoolExtras(fileBytes(theirFile), groupSize, cursor));
    }
  }
}

}  // namespace
}  // namespace delvix::cli
