// Every picture of the sample icons and cursors exported as PNG is the picture that ImageMagick's `convert FILE
// out-%d.png` and icoutils' `icotool -x` write: `compare -metric AE` finds no different pixel. compare weighs
// each colour by its alpha, so fully transparent pixels are equal whatever colour they hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "cli_run.h"
#include "save/output_name.h"
#include "support/corpus.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

namespace fs = std::filesystem;

// Files where the peers do not agree with each other, left out of the comparison.
const std::map<std::string, const char*> peersDisagree = {
    {"malformed-gdkpixbuf-crash.ico",
     "the header says 2 x 268435457 pixels in a 70-byte file: convert writes 2 x 1 pixels, icotool nothing"},
    {"malformed-gdkpixbuf-invalid.1.ico",
     "a compressed bitmap in an icon: convert writes a 16 x 16 picture, icotool nothing (not supported)"},
    {"wrestool-user32-12-32512.cur",
     "the directory holds half of each height: convert cuts the pictures to it, icotool refuses the file"},
    {"wrestool-user32-12-32641.cur", "as wrestool-user32-12-32512.cur"},
};
// Files that icotool refuses ("incorrect total size of bitmap") and convert reads: compared with convert alone.
const std::map<std::string, const char*> icotoolRefuses = {{"yaru-default.cur", "a directory size past the image"}};

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// Picture N (from 1) of each file icotool wrote into `folder`, as it names them: STEM_N_WxHxB.png.
std::map<int, fs::path> icotoolPictures(const fs::path& folder, const std::string& stem) {
  std::map<int, fs::path> pictures;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(stem + "_")) continue;
    pictures[std::atoi(name.c_str() + stem.size() + 1)] = entry.path();
  }
  return pictures;
}

std::size_t fileCount(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// What `compare -metric AE` prints: the number of different pixels, or its complaint.
std::string differentPixels(const fs::path& ours, const fs::path& theirs) {
  return testing::runAndCapture("compare -metric AE " + quoted(ours) + " " + quoted(theirs) + " null: 2>&1");
}

TEST(CliExportPeers, EveryCorpusPictureIsThePictureConvertAndIcotoolWrite) {
  if (!fs::exists("/usr/bin/convert") || !testing::haveProgram("compare") || !testing::haveProgram("icotool"))
    GTEST_SKIP() << "ImageMagick or icoutils is not installed";
  std::vector<fs::path> files = testing::corpusFiles("ico");
  for (const fs::path& file : testing::corpusFiles("cur")) files.push_back(file);
  if (files.empty()) GTEST_SKIP() << "the sample corpus is not there";

  testing::TempDir dir;
  int compared = 0;
  for (const fs::path& file : files) {
    const std::string name = file.filename().string();
    if (peersDisagree.contains(name)) continue;
    SCOPED_TRACE(name);
    const fs::path ours = dir.path() / name / "delvix", convert = dir.path() / name / "convert",
                   icotool = dir.path() / name / "icotool";
    for (const fs::path& folder : {convert, icotool}) fs::create_directories(folder);
    // A file that no one can read (malformed-gdkpixbuf-bug778204.ico) gives no picture anywhere.
    CliRun run({"export", file.string(), ours.string(), "--format", "png"});
    SCOPED_TRACE(run.err.str());
    fs::create_directories(ours);
    testing::runAndCapture("/usr/bin/convert " + quoted(file) + " " + quoted(convert / "out-%d.png") + " 2>&1");
    testing::runAndCapture("icotool -x -o " + quoted(icotool) + " " + quoted(file) + " 2>&1");
    const std::map<int, fs::path> icotoolWrote = icotoolPictures(icotool, file.stem().string());

    const fs::path oursWrote = ours / name;
    fs::create_directories(oursWrote);
    const std::size_t pictures = fileCount(oursWrote);
    EXPECT_EQ(pictures, fileCount(convert));
    if (!icotoolRefuses.contains(name)) {
      EXPECT_EQ(pictures, icotoolWrote.size());
    }
    for (std::size_t n = 1; n <= pictures; ++n) {
      const fs::path picture = oursWrote / (save::pictureFileName(n, pictures) + ".png");
      EXPECT_EQ(differentPixels(picture, convert / ("out-" + std::to_string(n - 1) + ".png")), "0") << n;
      if (auto theirs = icotoolWrote.find(static_cast<int>(n)); theirs != icotoolWrote.end()) {
        EXPECT_EQ(differentPixels(picture, theirs->second), "0") << n;
      }
      ++compared;
    }
  }
  EXPECT_GT(compared, 100);
}

}  // namespace
}  // namespace delvix::cli
