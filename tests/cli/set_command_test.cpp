// Fields changed through the command line, the files written and read back by peers.
#include "cli/set_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <optional>
#include <tuple>

#include "cli/cli_run.h"
#include "support/corpus.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

using testing::runAndCapture;

std::filesystem::path corpusFile(const char* folder, const std::string& name) {
  for (const auto& file : testing::corpusFiles(folder))
    if (file.filename() == name) return file;
  return {};
}

// Runs `set` on `from` and returns the file it wrote.
std::string set(const std::string& from, const std::string& node, const std::string& row, const std::string& value,
                const testing::TempDir& dir, const std::string& name) {
  const std::string to = (dir.path() / name).string();
  CliRun run({"set", from, node, row, value, to});
  EXPECT_EQ(run.status, exitOk) << node << " " << row << " " << value << ": " << run.err.str();
  return to;
}

TEST(SetCommand, HotSpotFactAndInfoTextReachThePeers) {
  const auto cursor = corpusFile("cur", "icotool-cursor.cur");
  const auto info = corpusFile("wav", "ffmpeg-list-info.wav");
  const auto adpcm = corpusFile("wav", "sox-ms-adpcm.wav");
  if (cursor.empty() || info.empty() || adpcm.empty()) GTEST_SKIP() << "the sample corpus is not there";
  testing::TempDir dir;

  const std::string moved = set(cursor, "header/icon_dir_1", "5", "9", dir, "moved.cur");
  if (testing::haveProgram("icotool")) {
    EXPECT_NE(runAndCapture("icotool -l '" + moved + "'").find("--hotspot-x=9 --hotspot-y=7"), std::string::npos);
  }
  // Refused: too large for the field, a read-only row, no such row. Nothing is written.
  for (const auto& [row, value] : {std::pair{"5", "70000"}, {"1", "16"}, {"9", "1"}}) {
    CliRun refused({"set", cursor.string(), "header/icon_dir_1", row, value, (dir.path() / "no.cur").string()});
    EXPECT_EQ(refused.status, exitRefused) << row;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "no.cur"));

  const std::string renamed = set(info, "RIFF_WAVE/List_info/artist", "1", "Ünïcode Artist", dir, "info.wav");
  const std::string counted = set(adpcm, "RIFF_WAVE/fact", "1", "1000", dir, "fact.wav");
  CliRun status({"set", info.string(), "RIFF_WAVE/List_info/name", "1", "A longer name than before",
                 (dir.path() / "longer.wav").string()});
  const std::string riffSize =
      "RIFF size: " + std::to_string(std::filesystem::file_size(dir.path() / "longer.wav") - 8);
  EXPECT_NE(status.out.str().find(riffSize + " bytes"), std::string::npos) << status.out.str();
  if (testing::haveProgram("sndfile-info")) {
    EXPECT_NE(runAndCapture("sndfile-info '" + renamed + "'").find("IART : Ünïcode Artist"), std::string::npos);
    EXPECT_NE(runAndCapture("sndfile-info '" + counted + "'").find("frames  : 1000"), std::string::npos);
  }
}

// The pixels "x,y: colour" lines of `convert FILE txt:-` that differ between two files, as pairs of colours.
std::vector<std::pair<std::string, std::string>> changedPixels(const std::string& before, const std::string& after) {
  std::istringstream a(runAndCapture("convert '" + before + "' txt:-")),
      b(runAndCapture("convert '" + after + "' txt:-"));
  std::vector<std::pair<std::string, std::string>> changed;
  for (std::string left, right; std::getline(a, left) && std::getline(b, right);)
    if (left != right) changed.emplace_back(left.substr(left.rfind(' ') + 1), right.substr(right.rfind(' ') + 1));
  return changed;
}

TEST(SetCommand, AColourTableEntryChangesExactlyThePixelsOfItsIndex) {
  const auto original = corpusFile("ico", "im-4bit.ico");
  if (original.empty() || !testing::haveProgram("convert")) GTEST_SKIP() << "no corpus or no ImageMagick";
  testing::TempDir dir;
  CliRun table({"fields", original.string(), "picture_1/color_table", "--show=table"});
  ASSERT_NE(table.out.str().find("5\t0 252 196 48\t"), std::string::npos);
  const std::string edited = set(original, "picture_1/color_table", "6", "0 1 2 3", dir, "entry.ico");
  const auto changed = changedPixels(original.string(), edited);
  ASSERT_FALSE(changed.empty());
  for (const auto& [before, after] : changed) {
    EXPECT_EQ(before, "srgba(252,196,48,1)");
    EXPECT_EQ(after, "srgba(1,2,3,1)");
  }
  EXPECT_EQ(runAndCapture("convert '" + edited + "' txt:- | grep -c 'srgba(252,196,48,1)'"), "0\n");

  // A pixel row, counted over every page: the first pixel of the bottom row of the 32-bit picture.
  const auto cursor = corpusFile("cur", "icotool-cursor.cur");
  if (cursor.empty()) return;
  const std::string pixel = set(cursor, "picture_1/color_bitmap", "1", "255 0 0 255", dir, "pixel.cur");
  const auto one = changedPixels(cursor.string(), pixel);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one.front().second, "blue");  // alpha 255, red 0, green 0, blue 255
}

#ifdef DELVIX_ANI_STEP_DELAYS
// Each step of the file as gdk-pixbuf plays it: its delay in milliseconds and a checksum of its picture.
std::vector<std::pair<int, std::string>> peerSteps(const std::string& file, int steps) {
  std::istringstream lines(runAndCapture("ASAN_OPTIONS=detect_leaks=0 '" DELVIX_ANI_STEP_DELAYS "' '" + file + "' " +
                                         std::to_string(steps) + " --frames 2>/dev/null"));
  std::vector<std::pair<int, std::string>> read;
  int delay = 0;
  std::string picture;
  while (lines >> delay >> picture) read.emplace_back(delay, picture);
  return read;
}
#endif

TEST(SetCommand, StepsAndRatesOfAnAnimatedCursorPlayInAPeer) {
  const auto original = corpusFile("ani", "synthetic-seq-rate.ani");
  if (original.empty()) GTEST_SKIP() << "the sample corpus is not there";
  testing::TempDir dir;
  // Sequence 1 2 3 4 3 2, rates 10 10 20 10 10 30, four frames.
  std::string file = set(original, "RIFF_ACON/sequence", "2", "4", dir, "a.ani");  // 1 4 3 4 3 2
  file = set(file, "RIFF_ACON/sequence", "add", "2", dir, "b.ani");                // 1 4 3 4 3 2 2
  for (const char* step : {"7", "6", "5", "4"}) file = set(file, "RIFF_ACON/sequence", "remove", step, dir, "c.ani");
  file = set(file, "RIFF_ACON/time", "2", "25", dir, "d.ani");       // rates 10 25 20
  file = set(file, "RIFF_ACON/ani_header", "3", "7", dir, "e.ani");  // 1 4 3 4 1 2 3, new rates 10
  EXPECT_EQ(CliRun({"fields", file, "RIFF_ACON/sequence"}).out.str(),
            "1\t1\trw\n2\t4\trw\n3\t3\trw\n4\t4\trw\n5\t1\trw\n6\t2\trw\n7\t3\trw\n");
  EXPECT_EQ(CliRun({"set", file, "RIFF_ACON/sequence", "1", "5", (dir.path() / "x.ani").string()}).status, exitRefused);
  EXPECT_EQ(CliRun({"set", file, "RIFF_ACON/ani_header", "3", "0", (dir.path() / "x.ani").string()}).status,
            exitRefused);

  // Saved unedited, the file is what it was.
  const std::string same = (dir.path() / "same.ani").string();
  ASSERT_EQ(CliRun({"save", original.string(), same}).status, exitOk);
  EXPECT_EQ(testing::readFileBytes(same), testing::readFileBytes(original));
#ifdef DELVIX_ANI_STEP_DELAYS
  const auto before = peerSteps(original.string(), 4);  // the four frames in order
  const auto after = peerSteps(file, 7);
  ASSERT_EQ(before.size(), 4u);
  ASSERT_EQ(after.size(), 7u);
  const int frames[] = {0, 3, 2, 3, 0, 1, 2};
  const int delays[] = {10, 25, 20, 10, 10, 10, 10};
  for (std::size_t step = 0; step < 7; ++step) {
    EXPECT_EQ(after[step].second, before[static_cast<std::size_t>(frames[step])].second) << "step " << step + 1;
    EXPECT_EQ(after[step].first, delays[step] * 1000 / 60) << "step " << step + 1;
  }
#endif
}

TEST(SetCommand, AFieldIsFoundByItsCaptionInAnyCase) {
  const auto cursor = corpusFile("cur", "icotool-cursor.cur");
  if (cursor.empty()) GTEST_SKIP() << "the sample corpus is not there";
  testing::TempDir dir;
  const std::string moved = set(cursor, "header/icon_dir_1", "hotpot y", "3", dir, "moved.cur");
  EXPECT_NE(CliRun({"info", moved}).out.str().find("hot spot 5,3"), std::string::npos);
  // A caption of no row names the rows there are; a number past the table gives the table's length.
  for (const auto& [row, message] : {std::pair{"HotPot Z", "has no row \"HotPot Z\"; its rows: \"Width\", "},
                                     {"12", "has no row 12 (rows 1 to 8)"}}) {
    CliRun refused({"set", cursor.string(), "header/icon_dir_1", row, "1", (dir.path() / "no.cur").string()});
    EXPECT_EQ(refused.status, exitRefused) << row;
    EXPECT_NE(refused.err.str().find(message), std::string::npos) << refused.err.str();
  }
}

TEST(SetCommand, OneCallSetsTheHotSpotOfEveryCursorEntryOrOfOne) {
  const auto cursors = corpusFile("cur", "icotool-cursor-multi.cur");
  const auto animated = corpusFile("ani", "wx-hourglass.ani");
  const auto icon = corpusFile("ico", "icotool-mixed-depth.ico");
  if (cursors.empty() || animated.empty() || icon.empty()) GTEST_SKIP() << "the sample corpus is not there";
  testing::TempDir dir;
  auto spots = [](const std::string& file) {
    std::ostringstream out, err;
    std::vector<std::string> args{"--json", "info", file};
    runCommandLine(args, {out, err});
    std::vector<std::pair<int, int>> read;
    const nlohmann::json info = nlohmann::json::parse(out.str());
    for (const auto& picture : info.at("pictures"))
      read.emplace_back(picture.at("hot_spot").at("x"), picture.at("hot_spot").at("y"));
    return read;
  };
  const auto run = [&](const std::filesystem::path& from, std::optional<std::string> node, const std::string& spot,
                       const std::string& name, std::string* err = nullptr) {
    std::ostringstream out, errors;
    const int status = setHotSpot(from.string(), node, spot, (dir.path() / name).string(), {out, errors});
    if (err) *err = errors.str();
    return status;
  };
  using Spots = std::vector<std::pair<int, int>>;
  ASSERT_EQ(run(cursors, std::nullopt, "4,6", "all.cur"), exitOk);
  EXPECT_EQ(spots((dir.path() / "all.cur").string()), (Spots{{4, 6}, {4, 6}, {4, 6}}));
  ASSERT_EQ(run(cursors, "picture_2/bitm_info", "9,9", "one.cur"), exitOk);
  EXPECT_EQ(spots((dir.path() / "one.cur").string()), (Spots{{1, 2}, {9, 9}, {1, 2}}));
  ASSERT_EQ(run(animated, std::nullopt, "0,31", "all.ani"), exitOk);
  EXPECT_EQ(spots((dir.path() / "all.ani").string()), Spots(20, {0, 31}));

  // Outside the 16x16 picture: the format allows it, so it is set with a warning.
  std::string err;
  EXPECT_EQ(run(cursors, "header/icon_dir_1", "16,0", "outside.cur", &err), exitOk);
  EXPECT_NE(err.find("warning: picture_1: the hot spot 16,0 lies outside the 16x16 picture"), std::string::npos);
  // Refused, with nothing written: an icon, numbers out of range or not numbers, a node of no entry.
  for (const auto& [from, node, spot, status] :
       std::vector<std::tuple<std::filesystem::path, std::optional<std::string>, std::string, int>>{
           {icon, std::nullopt, "1,1", exitRefused},
           {cursors, std::nullopt, "65536,0", exitUsage},
           {cursors, std::nullopt, "-1,0", exitUsage},
           {cursors, std::nullopt, "3", exitUsage},
           {cursors, std::nullopt, "3,x", exitUsage},
           {cursors, "header", "1,1", exitRefused}}) {
    EXPECT_EQ(run(from, node, spot, "refused.cur", &err), status) << spot << " " << err;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "refused.cur")) << spot;
  }
}

}  // namespace
}  // namespace delvix::cli
