// Chunks, items, images and frames added and removed through the command line; every file written is
// walked chunk by chunk and read back by peers.
#include <gtest/gtest.h>

#include "cli/cli_run.h"
#include "support/corpus.h"
#include "support/file_bytes.h"
#include "support/riff_check.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

using testing::haveProgram;
using testing::runAndCapture;

std::string corpusFile(const char* folder, const std::string& name) {
  for (const auto& file : testing::corpusFiles(folder))
    if (file.filename() == name) return file.string();
  return {};
}

bool isRiff(const std::string& path) { return path.ends_with(".wav") || path.ends_with(".ani"); }

// Runs VERB with `arguments` and OUT = dir/name last; OUT must be written and, for RIFF files, sound.
std::string written(const testing::TempDir& dir, const std::string& name, std::vector<std::string> arguments) {
  const std::string out = (dir.path() / name).string();
  if (arguments.front() == "add")
    arguments.insert(arguments.begin() + 2, out);
  else
    arguments.push_back(out);
  CliRun run(arguments);
  EXPECT_EQ(run.status, exitOk) << name << ": " << run.err.str();
  if (isRiff(out)) {
    const auto bytes = testing::readFileBytes(out);
    EXPECT_TRUE(bytes && testing::riffProblems(*bytes).empty()) << name << ":\n"
                                                                << (bytes ? testing::riffProblems(*bytes) : "");
  }
  return out;
}

std::string tree(const std::string& file) { return CliRun({"tree", file}).out.str(); }

TEST(AddCommand, WaveInfoItemsAndFactGoWhereReadersLookAndComeOutAgain) {
  const std::string u8 = corpusFile("wav", "sox-u8-mono-8k.wav");
  if (u8.empty()) GTEST_SKIP() << "the sample corpus is not there";
  testing::TempDir dir;
  const std::string added =
      written(dir, "added.wav", {"add", u8, "--info=IART:Zoë", "--info=ICOP:(c) the makers", "--fact"});
  EXPECT_EQ(tree(added), "RIFF_WAVE\n  fmt\n  fact\n  data\n  List_info\n    artist\n    copyright\n");
  EXPECT_NE(CliRun({"fields", added, "RIFF_WAVE/fact"}).out.str().find("\t12526\t"), std::string::npos);
  if (haveProgram("soxi")) {
    EXPECT_EQ(runAndCapture("soxi -s '" + u8 + "'"), "12526\n");
  }
  if (haveProgram("sndfile-metadata-get")) {
    const std::string texts = runAndCapture("sndfile-metadata-get --str-artist --str-copyright '" + added + "'");
    EXPECT_NE(texts.find("Zoë"), std::string::npos) << texts;
    EXPECT_NE(texts.find("(c) the makers"), std::string::npos) << texts;
  }
  // Without fact and without its last item the file has neither chunk.
  std::string file = written(dir, "nofact.wav", {"remove", added, "RIFF_WAVE/fact"});
  file = written(dir, "noartist.wav", {"remove", file, "RIFF_WAVE/List_info/artist"});
  file = written(dir, "plain.wav", {"remove", file, "RIFF_WAVE/List_info/copyright"});
  EXPECT_EQ(tree(file), "RIFF_WAVE\n  fmt\n  data\n");
  EXPECT_EQ(testing::readFileBytes(file), testing::readFileBytes(u8));

  // A block codec's fact counts whole blocks times the samples a block holds, as sox reads them.
  for (const char* name : {"sox-ima-adpcm.wav", "sox-ms-adpcm.wav", "sox-gsm.wav"}) {
    const std::string coded = corpusFile("wav", name);
    const std::string again = written(dir, std::string("fact-") + name,
                                      {"add", written(dir, name, {"remove", coded, "RIFF_WAVE/fact"}), "--fact"});
    if (haveProgram("soxi")) {
      const std::string frames = runAndCapture("soxi -s '" + coded + "'");
      EXPECT_NE(
          CliRun({"fields", again, "RIFF_WAVE/fact"}).out.str().find("\t" + frames.substr(0, frames.size() - 1) + "\t"),
          std::string::npos)
          << name;
    }
  }
}

TEST(AddCommand, AnimationFramesAndTablesStayReadableByGdkPixbuf) {
  const std::string seq = corpusFile("ani", "synthetic-seq-rate.ani");
  const std::string busy = corpusFile("ani", "scipy-Transparent-Busy.ani");
  const std::string cursor = corpusFile("cur", "lazarus-car.cur");
  const std::string large = corpusFile("cur", "lazarus-cur_12.cur");
  if (seq.empty() || busy.empty() || cursor.empty() || large.empty()) GTEST_SKIP() << "the sample corpus is not there";
  testing::TempDir dir;

  const std::string fifth = written(dir, "fifth.ani", {"add", seq, "--image=" + cursor});
  const std::string fewer = written(dir, "fewer.ani", {"remove", fifth, "RIFF_ACON/List_images/picture_2"});
  const std::string inOrder = written(dir, "inorder.ani", {"remove", fewer, "RIFF_ACON/sequence"});
  const std::string tables = written(dir, "tables.ani", {"add", busy, "--rate", "--seq", "--info=INAM:Busy"});
  // The steps that showed frame 2 went with their rates; later frames moved down.
  EXPECT_EQ(CliRun({"fields", fewer, "RIFF_ACON/sequence"}).out.str(),
            "1\t1\trw\n2\t2\trw\n3\t3\trw\n4\t2\trw\n5\t4\trw\n");
  EXPECT_EQ(CliRun({"fields", fewer, "RIFF_ACON/time"}).out.str(),
            "1\t10\trw\n2\t20\trw\n3\t10\trw\n4\t10\trw\n5\t10\trw\n");
  EXPECT_TRUE(
      tree(tables).starts_with("RIFF_ACON\n  List_info\n    name\n  ani_header\n  time\n  sequence\n  List_images\n"))
      << tree(tables);
  if (haveProgram("gdk-pixbuf-thumbnailer")) {
    for (const std::string& file : {fifth, fewer, inOrder, tables})
      EXPECT_EQ(std::system(("gdk-pixbuf-thumbnailer -s 32 '" + file + "' '" + file + ".png'").c_str()), 0) << file;
  }
#ifdef DELVIX_ANI_STEP_DELAYS
  EXPECT_EQ(runAndCapture("'" DELVIX_ANI_STEP_DELAYS "' '" + fewer + "' 5"), "166\n333\n166\n166\n166\n");
#endif
  // A 48 x 48 image does not join 32 x 32 frames; nothing is written.
  CliRun refused({"add", seq, (dir.path() / "x.ani").string(), "--image=" + large + ":2"});
  EXPECT_EQ(refused.status, exitRefused);
  EXPECT_NE(refused.err.str().find("Cannot add the image with such size."), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "x.ani"));
}

TEST(AddCommand, IconImagesAddedAndRemovedAreWhatPeersList) {
  const std::string icon = corpusFile("ico", "im-4bit.ico");
  const std::string hg = corpusFile("ico", "thg-hg.ico");
  const std::string cursor = corpusFile("cur", "lazarus-car.cur");
  if (icon.empty() || hg.empty() || cursor.empty()) GTEST_SKIP() << "the sample corpus is not there";
  testing::TempDir dir;
  // thg-hg's fourth image is PNG data, its seventh a 32-bit bitmap.
  const std::string withPng = written(dir, "png.ico", {"add", icon, "--image=" + hg + ":4"});
  const std::string three = written(dir, "three.ico", {"add", withPng, "--image=" + hg + ":7"});
  const std::string two = written(dir, "two.ico", {"remove", three, "picture_2"});
  EXPECT_TRUE(tree(three).starts_with("header\n  icon_dir_1\n  icon_dir_2\n  icon_dir_3\npicture_1\n")) << tree(three);
  EXPECT_NE(tree(three).find("picture_2\n  png_data\n"), std::string::npos);
  const std::string cur = written(dir, "two.cur", {"add", cursor, "--image=" + icon});
  if (haveProgram("icotool")) {
    EXPECT_EQ(runAndCapture("icotool -l '" + three + "' 2>/dev/null"),
              "--icon --index=1 --width=32 --height=32 --bit-depth=4 --palette-size=16\n"
              "--icon --index=2 --width=128 --height=128 --bit-depth=32 --palette-size=0\n"
              "--icon --index=3 --width=32 --height=32 --bit-depth=32 --palette-size=0\n");
    EXPECT_EQ(runAndCapture("icotool -l '" + two + "' 2>/dev/null"),
              "--icon --index=1 --width=32 --height=32 --bit-depth=4 --palette-size=16\n"
              "--icon --index=2 --width=32 --height=32 --bit-depth=32 --palette-size=0\n");
    EXPECT_NE(runAndCapture("icotool -l '" + cur + "' 2>/dev/null")
                  .find("--index=2 --width=32 --height=32 --bit-depth=4 "
                        "--palette-size=16 --hotspot-x=0 --hotspot-y=0\n"),
              std::string::npos);
  }
  if (haveProgram("identify")) {
    EXPECT_EQ(runAndCapture("identify -format '%m %wx%h\\n' '" + three + "' 2>/dev/null"),
              "ICO 32x32\nPNG 128x128\nICO 32x32\n");
  }
}

}  // namespace
}  // namespace delvix::cli
