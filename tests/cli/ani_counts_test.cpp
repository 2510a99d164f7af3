// Animated cursors whose counts disagree with what they hold: edits write files whose header agrees with
// them (gdk-pixbuf reads them), no loop runs over a count the file gives, and entries that name no frame
// are said to and kept as they are.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "cli/cli_run.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

using namespace delvix::testing;

const DibImage frame{.width = 16, .height = 16, .bitCount = 32};

// gdk-pixbuf's verdict on an animated cursor: whether it reads it.
bool peerReads(const std::string& file) {
#ifdef DELVIX_ANI_STEP_DELAYS
  const std::string command =
      "ASAN_OPTIONS=detect_leaks=0 '" DELVIX_ANI_STEP_DELAYS "' '" + file + "' 1 >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
#else
  (void)file;
  return true;
#endif
}

TEST(AniCounts, EveryEditOfAFileGdkPixbufReadsWritesOneItReadsToo) {
  TempDir dir;
  IconFile icon;
  icon.entries.push_back({frame.bytes()});
  const std::string image = dir.write("add.ico", icon.bytes()).string();
  const struct {
    const char* name;
    ByteVector bytes;
  } sources[] = {
      // The header counts six frames and steps; the list holds four.
      {"six-of-four", riff("ACON", {aniHeader({.frames = 6, .steps = 6}), chunk("rate", u32s({1, 2, 3, 4, 5, 6})),
                                    frameList(4, frame)})},
      {"sequence",
       riff("ACON", {aniHeader({.frames = 4, .steps = 6, .attributes = 3}), chunk("rate", u32s({1, 2, 3, 4, 5, 6})),
                     chunk("seq ", u32s({0, 1, 2, 3, 2, 1})), frameList(4, frame)})},
      // The sequence flag without a "seq " chunk: three steps over two frames.
      {"flag-only", riff("ACON", {aniHeader({.frames = 2, .steps = 3, .attributes = 3}), chunk("rate", u32s({1, 2, 3})),
                                  frameList(2, frame)})},
      {"no-tables", riff("ACON", {aniHeader({.frames = 3, .steps = 3}), frameList(3, frame)})},
  };
  const std::vector<std::vector<std::string>> edits = {
      {"add", "--image=" + image},
      {"remove", "RIFF_ACON/List_images/picture_2"},
      {"set", "RIFF_ACON/ani_header", "3", "5"},
      {"set", "RIFF_ACON/sequence", "add", "1"},
      {"set", "RIFF_ACON/sequence", "remove", "1"},
      {"remove", "RIFF_ACON/sequence"},
      {"remove", "RIFF_ACON/time"},
      {"add", "--seq"},
      {"add", "--rate", "--seq"},
  };
  int written = 0;
  for (const auto& source : sources) {
    const std::string in = dir.write(std::string(source.name) + ".ani", source.bytes).string();
    ASSERT_TRUE(peerReads(in)) << source.name;
    for (std::size_t e = 0; e < edits.size(); ++e) {
      const std::string out = (dir.path() / (std::string(source.name) + "-" + std::to_string(e) + ".ani")).string();
      std::vector<std::string> args = edits[e];
      args.insert(args.begin() + 1, in);
      if (args.front() == "add")
        args.insert(args.begin() + 2, out);
      else
        args.push_back(out);
      if (CliRun(args).status != exitOk) continue;
      ++written;
      EXPECT_TRUE(peerReads(out)) << source.name << " after " << edits[e][0] << ' ' << edits[e].back();
    }
  }
  EXPECT_GE(written, 20);
}

TEST(AniCounts, CountsFromTheHeaderDriveNoLoopAndNoTable) {
  TempDir dir;
  // Four billion frames announced, one held: extracting writes the one picture at once.
  const std::string huge =
      dir.write("huge.ani", riff("ACON", {aniHeader({.frames = 0xFFFFFFFF, .steps = 1}), frameList(1, frame)}))
          .string();
  const auto start = std::chrono::steady_clock::now();
  CliRun extract({"extract", huge, (dir.path() / "pictures").string()});
  EXPECT_EQ(extract.status, exitOk) << extract.err.str();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "pictures" / "picture_1.cur"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "pictures" / "picture_2.cur"));
  EXPECT_EQ(CliRun({"info", huge}).out.str().find("images: 4294967295"), std::string::npos);
  CliRun last({"remove", huge, "RIFF_ACON/List_images/picture_1", (dir.path() / "none.ani").string()});
  EXPECT_EQ(last.status, exitRefused);
  EXPECT_NE(last.err.str().find("The last picture of a file cannot be removed."), std::string::npos) << last.err.str();

  // A file without frames gets no empty tables.
  const std::string empty =
      dir.write("empty.ani", riff("ACON", {aniHeader({.frames = 0, .steps = 0}), list("fram", {})})).string();
  CliRun tables({"add", empty, (dir.path() / "tables.ani").string(), "--rate", "--seq"});
  EXPECT_EQ(tables.status, exitRefused);
  EXPECT_NE(tables.err.str().find("the file has no frame; no 'rate' or 'seq ' chunk was added."), std::string::npos)
      << tables.err.str();
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "tables.ani"));
}

TEST(AniCounts, StepsThatNameNoFrameAreSaidOnceShownAsStoredAndKeptByARemoval) {
  TempDir dir;
  const std::string file =
      dir.write("nowhere.ani", riff("ACON", {aniHeader({.frames = 2, .steps = 4, .attributes = 3}),
                                             chunk("seq ", u32s({1, 0, 0xFFFFFFFF, 2})), frameList(2, frame)}))
          .string();
  CliRun listed({"fields", file, "RIFF_ACON/sequence"});
  EXPECT_EQ(listed.out.str(), "1\t2\trw\n2\t1\trw\n3\tnone (4294967295)\trw\n4\tnone (2)\trw\n");
  EXPECT_EQ(
      listed.err.str(),
      "delvix-cli: " + file +
          ": step 3 names frame 4294967295, counted from 0; the file has 2 frames. 1 more step names no frame.\n");

  // Frame 1 goes: the step that showed frame 2 now shows frame 1, the others still name no frame.
  const std::string fewer = (dir.path() / "fewer.ani").string();
  ASSERT_EQ(CliRun({"remove", file, "RIFF_ACON/List_images/picture_1", fewer}).status, exitOk);
  EXPECT_EQ(CliRun({"fields", fewer, "RIFF_ACON/sequence"}).out.str(),
            "1\t1\trw\n2\tnone (4294967295)\trw\n3\tnone (2)\trw\n");
}

}  // namespace
}  // namespace delvix::cli
