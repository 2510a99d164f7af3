#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

#include "browse/browser_columns.h"
#include "browse/file_summary.h"
#include "cli/commands.h"
#include "formats/wav_reader.h"
#include "support/corpus.h"

namespace delvix::browse {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> parts;
  std::stringstream stream(line);
  for (std::string part; std::getline(stream, part, '\t');) parts.push_back(part);
  return parts;
}

// The rows `delvix-cli browse` prints, by file name.
std::map<std::string, std::vector<std::string>> browsed(std::vector<std::string> args) {
  std::ostringstream out, err;
  args.insert(args.begin(), "browse");
  EXPECT_EQ(cli::runCommandLine(args, {out, err}), cli::exitOk) << err.str();
  std::map<std::string, std::vector<std::string>> rows;
  std::stringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) {
    auto parts = fields(line);
    rows[parts[0]] = {parts.begin() + 1, parts.end()};
  }
  return rows;
}

TEST(BrowseCorpus, ModuleCountsAreTheManifestsAndCostTheirHeaders) {
  const auto modules = testing::corpusFiles("pe");
  if (modules.empty()) GTEST_SKIP() << "no corpus";
  const fs::path folder = modules.front().parent_path();
  // Every kind by default: the modules' rows as with every filter box ticked.
  const auto rows = browsed({folder.string(), "--images=ani,cur,ico,cpl,dll,exe,ocx,scr"});
  EXPECT_EQ(browsed({folder.string()}), rows);

  std::ifstream manifest(folder.parent_path() / "MANIFEST.tsv");
  std::size_t checked = 0;
  for (std::string line; std::getline(manifest, line);) {
    const auto columns = fields(line);
    if (!line.starts_with("pe/") || columns.size() < 9) continue;
    const std::string name = fs::path(columns[0]).filename().string();
    ASSERT_TRUE(rows.count(name)) << name;
    // The manifest counts names, the browser every language: icon group 1 of resdemo64.dll has two.
    const std::string icons = name == "resdemo64.dll" ? std::to_string(std::stoul(columns[6]) + 1) : columns[6];
    EXPECT_EQ(rows.at(name), (std::vector<std::string>{icons, columns[7], columns[8]})) << name;
    EXPECT_LE(summarizeFile(folder / name).bytesRead, 64u << 10) << name;
    ++checked;
  }
  EXPECT_EQ(checked, modules.size());
}

TEST(BrowseCorpus, IconAndCursorCountsAgreeWithIcotool) {
  if (!testing::haveProgram("icotool")) GTEST_SKIP() << "no icotool";
  auto files = testing::corpusFiles("ico");
  const auto cursors = testing::corpusFiles("cur");
  files.insert(files.end(), cursors.begin(), cursors.end());
  if (files.empty()) GTEST_SKIP() << "no corpus";
  for (const fs::path& file : files) {
    std::stringstream listed(testing::runAndCapture("icotool -l '" + file.string() + "' 2>&1"));
    std::size_t images = 0;
    bool complained = false;
    for (std::string line; std::getline(listed, line);) {
      if (line.starts_with("--"))
        ++images;
      else
        complained = true;
    }
    if (complained) continue;  // icotool does not read it
    EXPECT_EQ(summarizeFile(file).images, images) << file;
  }
}

TEST(BrowseCorpus, WaveTimesAreTheViewersAndAgreeWithSoxi) {
  const auto files = testing::corpusFiles("wav");
  if (files.empty()) GTEST_SKIP() << "no corpus";
  const bool haveSoxi = testing::haveProgram("soxi");
  // Where soxi's own reading differs, and why.
  const std::map<std::string, const char*> soxiDiffers = {
      {"scipy-8000Hz-le-4ch-9S-12bit.wav", "sox takes a 12-bit sample as 1.5 bytes, not a 2-byte container"},
      {"truncated-scipy-44100Hz-le-1ch-4bytes-early-eof.wav", "soxi times the declared data size, past the file"},
  };
  for (const fs::path& file : files) {
    const FileSummary summary = summarizeFile(file);
    model::Document document;
    formats::RecordingReporter reporter;
    const bool read = formats::readWaveFile(file, document, reporter);
    EXPECT_EQ(summary.seconds.has_value(), read) << file;
    EXPECT_EQ(static_cast<float>(summary.seconds.value_or(0)), document.wave.playingTime) << file;
    EXPECT_EQ(summary.waveFormat.value_or(model::WaveFormat{}), document.wave.format) << file;
    EXPECT_LE(summary.bytesRead, 64u << 10) << file;

    if (!haveSoxi || soxiDiffers.count(file.filename().string())) continue;
    const std::string soxi = testing::runAndCapture("soxi -D '" + file.string() + "' 2>/dev/null");
    const double expected = std::atof(soxi.c_str());
    if (expected <= 0) continue;  // soxi does not read it, or does not know the length (a streamed file)
    double tolerance = expected / 100;
    if (auto perBlock = formats::samplesPerBlockOf(document.wave))
      tolerance = static_cast<double>(*perBlock) / document.wave.format.samplesPerSecond;
    EXPECT_NEAR(*summary.seconds, expected, tolerance) << file;
  }
}

}  // namespace
}  // namespace delvix::browse
