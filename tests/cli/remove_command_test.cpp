// Parts taken out through the command line; the files written are read back by peers.
#include <gtest/gtest.h>

#include "cli/cli_run.h"
#include "formats/le_bytes.h"
#include "support/corpus.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

using testing::runAndCapture;

std::string corpusFile(const char* folder, const std::string& name) {
  for (const auto& file : testing::corpusFiles(folder))
    if (file.filename() == name) return file.string();
  return {};
}

// Removes NODE from FROM into a new file of `dir`, which must hold a RIFF size of its length less 8.
std::string remove(const std::string& from, const std::string& node, const testing::TempDir& dir,
                   const std::string& name) {
  const std::string to = (dir.path() / name).string();
  CliRun run({"remove", from, node, to});
  EXPECT_EQ(run.status, exitOk) << node << ": " << run.err.str();
  const auto bytes = testing::readFileBytes(to);
  if (bytes && bytes->size() >= 8) {
    EXPECT_EQ(formats::le32(*bytes, 4), bytes->size() - 8) << name;
  }
  return to;
}

TEST(RemoveCommand, InfoItemsFactSequenceAndRatesLeaveFilesPeersRead) {
  const std::string info = corpusFile("wav", "ffmpeg-list-info.wav");
  const std::string adpcm = corpusFile("wav", "sox-ms-adpcm.wav");
  const std::string ani = corpusFile("ani", "synthetic-seq-rate.ani");
  if (info.empty() || adpcm.empty() || ani.empty()) GTEST_SKIP() << "the sample corpus is not there";
  testing::TempDir dir;

  std::string file = info;
  for (const char* item : {"artist", "comments", "date", "genre", "name", "software"})
    file = remove(file, std::string("RIFF_WAVE/List_info/") + item, dir, std::string(item) + ".wav");
  EXPECT_EQ(CliRun({"tree", file}).out.str(), "RIFF_WAVE\n  fmt\n  data\n");
  const std::string noFact = remove(adpcm, "RIFF_WAVE/fact", dir, "nofact.wav");
  if (testing::haveProgram("sndfile-info")) {
    EXPECT_EQ(runAndCapture("sndfile-info '" + noFact + "' | grep -c '^fact'"), "0\n");
  }
  if (testing::haveProgram("soxi")) {
    EXPECT_EQ(runAndCapture("soxi -s '" + file + "'"), "34524\n");
  }

  // Without its sequence each frame shows once, for the time of the first step that showed it; without its
  // rates, for the header's display rate.
  const std::string noSequence = remove(ani, "RIFF_ACON/sequence", dir, "noseq.ani");
  EXPECT_NE(CliRun({"fields", noSequence, "RIFF_ACON/ani_header"}).out.str().find("Number of Steps\t4\trw\n"),
            std::string::npos);
  EXPECT_EQ(CliRun({"fields", noSequence, "RIFF_ACON/time"}).out.str(), "1\t10\trw\n2\t10\trw\n3\t20\trw\n4\t10\trw\n");
  const std::string noRates = remove(noSequence, "RIFF_ACON/time", dir, "norate.ani");
#ifdef DELVIX_ANI_STEP_DELAYS
  EXPECT_EQ(runAndCapture("'" DELVIX_ANI_STEP_DELAYS "' '" + noSequence + "' 4"), "166\n166\n333\n166\n");
  EXPECT_EQ(runAndCapture("'" DELVIX_ANI_STEP_DELAYS "' '" + noRates + "' 4"), "166\n166\n166\n166\n");
#endif
  // A part the command does not take out is refused; nothing is written.
  EXPECT_EQ(CliRun({"remove", ani, "RIFF_ACON/ani_header", (dir.path() / "x.ani").string()}).status, exitRefused);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "x.ani"));
}

}  // namespace
}  // namespace delvix::cli
