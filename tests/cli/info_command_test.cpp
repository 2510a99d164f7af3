#include "cli/info_command.h"

#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/corpus.h"
#include "support/icon_builder.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

using testing::chunk;
using testing::riff;
using testing::u32s;

struct InfoRun {
  std::ostringstream out, err;
  int status;
  explicit InfoRun(const std::filesystem::path& file) {
    std::vector<std::string> args{"info", file.string()};
    status = runCommandLine(args, {out, err});
  }
};

testing::ByteVector waveFile(const testing::WaveFormatFields& format, std::size_t dataBytes,
                             std::initializer_list<testing::ByteVector> more = {}) {
  testing::ByteVector body =
      testing::joined({testing::waveFormat(format), chunk("data", testing::ByteVector(dataBytes, 0))});
  for (const auto& part : more) body.insert(body.end(), part.begin(), part.end());
  return riff("WAVE", {body});
}

TEST(PlayingTimeText, KeepsThreeSignificantDigitsWithoutTrailingZeros) {
  EXPECT_EQ(playingTimeText(2.5f), "2.5");
  EXPECT_EQ(playingTimeText(12.34f), "12.3");
  EXPECT_EQ(playingTimeText(120.0f), "120");
  EXPECT_EQ(playingTimeText(4.0f), "4");
  EXPECT_EQ(playingTimeText(0.0f), "0");
  EXPECT_EQ(playingTimeText(5.6689f), "5.67");
  // Rounding can carry into a fourth digit's place; it must not show as "10.0".
  EXPECT_EQ(playingTimeText(9.9996f), "10");
  EXPECT_EQ(playingTimeText(1000.0f), "1e+03");
}

TEST(CliInfo, WaveFilesGiveTheirFormatAndPlayingTime) {
  testing::TempDir dir;
  auto stereo =
      dir.write("stereo.wav", waveFile({.channels = 2, .samplesPerSecond = 44100, .bitsPerSample = 16}, 1000000));
  InfoRun pcm(stereo);
  EXPECT_EQ(pcm.status, exitOk);
  EXPECT_EQ(pcm.out.str(),
            "format tag: 1, channels: 2, bits per sample: 16, samples per second: 44100, data bytes: 1000000, "
            "playing time: 5.67 s, sample frames: 250000\n");
  EXPECT_EQ(pcm.err.str(), "");

  // Samples of any width stored one after another are counted from the headers.
  auto wide = dir.write("24bit.wav", waveFile({.channels = 3, .samplesPerSecond = 8000, .bitsPerSample = 24}, 900));
  EXPECT_TRUE(InfoRun(wide).out.str().ends_with("sample frames: 100\n"));

  // Compressed data: the time comes from the fact chunk, and there are no channels to split.
  auto adpcm = dir.write("adpcm.wav", waveFile({.formatTag = 2, .samplesPerSecond = 11025, .bitsPerSample = 4}, 100,
                                               {chunk("fact", u32s({22050}))}));
  InfoRun compressed(adpcm);
  EXPECT_EQ(compressed.status, exitOk);
  EXPECT_EQ(compressed.out.str(),
            "format tag: 2, channels: 1, bits per sample: 4, samples per second: 11025, data bytes: 100, "
            "playing time: 2 s\n");
}

TEST(CliInfo, WaveWithoutDataIsRefusedWithTheReadersMessage) {
  testing::TempDir dir;
  auto noData = dir.write("nodata.wav", riff("WAVE", {testing::waveFormat({})}));
  InfoRun run(noData);
  EXPECT_EQ(run.status, exitRefused);
  EXPECT_EQ(run.out.str(), "");
  EXPECT_NE(run.err.str().find("MMIO Error. Error Code: 265"), std::string::npos);
}

TEST(CliInfo, AnimatedCursorsGiveFramesStepsSizeAndBitCount) {
  testing::TempDir dir;
  testing::DibImage frame{.width = 32, .height = 32, .bitCount = 4};
  testing::ByteVector frames = testing::list("fram", {testing::iconChunk(frame), testing::iconChunk(frame)});

  // The header's own numbers, when it gives a size.
  auto withSize = dir.write("sized.ani", riff("ACON", {chunk("anih", u32s({36, 2, 3, 48, 24, 8, 1, 10, 1})), frames}));
  InfoRun sized(withSize);
  EXPECT_EQ(sized.status, exitOk);
  // Then a line a frame, with the hot spot its frame header gives.
  EXPECT_EQ(sized.out.str(),
            "frames: 2, steps: 3, size: 48x24, bit count: 8\n"
            "frame 1: 32x32, 4 bits, BMP, 744 bytes, hot spot 1,32\n"
            "frame 2: 32x32, 4 bits, BMP, 744 bytes, hot spot 1,32\n");

  // A header that leaves size and depth to the icon frames.
  auto fromFrames = dir.write("frames.ani", riff("ACON", {testing::aniHeader({.frames = 2, .steps = 2}), frames}));
  InfoRun framed(fromFrames);
  EXPECT_EQ(framed.status, exitOk);
  EXPECT_TRUE(framed.out.str().starts_with("frames: 2, steps: 2, size: 32x32, bit count: 4 (first frame)\nframe 1: "));
}

TEST(CliInfo, IconAndCursorFilesGiveTheirImageCount) {
  testing::TempDir dir;
  testing::IconFile icon;
  icon.entries.push_back({testing::DibImage{.width = 16, .height = 16, .bitCount = 4}.bytes()});
  icon.entries.push_back({testing::solidPng(48, 48, 0x336699FF)});
  InfoRun ico(dir.write("two.ico", icon.bytes()));
  EXPECT_EQ(ico.status, exitOk);
  // Bytes: 40 of header, 16 colours, 16 rows of 8 and 16 mask rows of 4 bytes; the PNG as stored.
  EXPECT_EQ(ico.out.str(),
            "images: 2\npicture 1: 16x16, 4 bits, BMP, 296 bytes\npicture 2: 48x48, 32 bits, PNG, 171 bytes\n");

  testing::IconFile cursor;
  cursor.type = 2;
  cursor.entries.push_back({testing::DibImage{.width = 32, .height = 32, .bitCount = 1}.bytes()});
  InfoRun cur(dir.write("one.cur", cursor.bytes()));
  EXPECT_EQ(cur.status, exitOk);
  EXPECT_EQ(cur.out.str(), "images: 1\npicture 1: 32x32, 1 bits, BMP, 304 bytes, hot spot 1,32\n");

  InfoRun broken(dir.write("broken.ico", {1, 2, 3}));
  EXPECT_EQ(broken.status, exitRefused);
  EXPECT_EQ(broken.out.str(), "");
}

TEST(CliInfo, EveryCorpusWaveFileGivesItsLine) {
  auto files = testing::corpusFiles("wav");
  if (files.empty()) GTEST_SKIP() << "no sample corpus at " << DELVIX_CORPUS_DIR;
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    InfoRun run(path);
    EXPECT_EQ(run.status, exitOk) << run.err.str();
    EXPECT_TRUE(run.out.str().starts_with("format tag: ")) << run.out.str();
    EXPECT_NE(run.out.str().find(" s"), std::string::npos);
  }
}

// What `icotool -l` gives of each picture: "--index=1 --width=32 ... --hotspot-x=5 --hotspot-y=7" a line.
std::vector<std::map<std::string, int>> icotoolListing(const std::filesystem::path& file) {
  std::vector<std::map<std::string, int>> pictures;
  std::istringstream lines(testing::runAndCapture("icotool -l '" + file.string() + "' 2>/dev/null"));
  for (std::string line; std::getline(lines, line);) {
    std::map<std::string, int> values;
    std::istringstream words(line);
    for (std::string word; words >> word;)
      if (const auto equals = word.find('='); equals != std::string::npos)
        values[word.substr(2, equals - 2)] = std::stoi(word.substr(equals + 1));
    if (values.contains("index")) pictures.push_back(std::move(values));
  }
  return pictures;
}

TEST(CliInfo, EveryCorpusIconAndCursorListsItsPicturesAsIcotoolDoes) {
  if (!testing::haveProgram("icotool")) GTEST_SKIP() << "icoutils is not installed";
  auto files = testing::corpusFiles("ico");
  for (const auto& path : testing::corpusFiles("cur")) files.push_back(path);
  if (files.empty()) GTEST_SKIP() << "no sample corpus at " << DELVIX_CORPUS_DIR;
  std::size_t compared = 0;
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    const auto theirs = icotoolListing(path);
    if (theirs.empty()) continue;  // a file icotool refuses
    std::ostringstream out, err;
    std::vector<std::string> args{"--json", "info", path.string()};
    if (runCommandLine(args, {out, err}) != exitOk) continue;
    const auto ours = nlohmann::json::parse(out.str()).at("pictures");
    ASSERT_EQ(ours.size(), theirs.size());
    compared += ours.size();
    for (std::size_t i = 0; i < ours.size(); ++i) {
      SCOPED_TRACE(i + 1);
      EXPECT_EQ(ours[i]["number"], theirs[i].at("index"));
      EXPECT_EQ(ours[i]["width"], theirs[i].at("width"));
      EXPECT_EQ(ours[i]["height"], theirs[i].at("height"));
      EXPECT_EQ(ours[i]["bit_count"], theirs[i].at("bit-depth"));
      EXPECT_EQ(ours[i].contains("hot_spot"), theirs[i].contains("hotspot-x"));
      if (theirs[i].contains("hotspot-x")) {
        EXPECT_EQ(ours[i]["hot_spot"]["x"], theirs[i].at("hotspot-x"));
        EXPECT_EQ(ours[i]["hot_spot"]["y"], theirs[i].at("hotspot-y"));
      }
    }
  }
  EXPECT_GT(compared, 60u);
}

TEST(CliInfo, AModuleListsEachGroupWithItsLanguageAndPictures) {
  const auto module = std::filesystem::path(DELVIX_CORPUS_DIR) / "pe" / "resdemo64.dll";
  if (!std::filesystem::exists(module)) GTEST_SKIP() << "no sample corpus at " << DELVIX_CORPUS_DIR;
  InfoRun run(module);
  EXPECT_EQ(run.status, exitOk) << run.err.str();
  // Icon group 1 is there in German (1031) first, as `wrestool -l` lists it, and in English.
  EXPECT_EQ(run.out.str(),
            "icon groups: 4\ncursor groups: 2\nbitmaps: 4\n"
            "icon group APPICON, language 1033: 3 pictures, 16x16 32x32 48x48\n"
            "icon group 1, language 1031: 2 pictures, 16x16 12x12\n"
            "icon group 2, language 1033: 1 picture, 32x32\n"
            "cursor group 100, language 1033: 3 pictures, 32x32 48x48 64x64\n"
            "cursor group 101, language 1033: 1 picture, 32x32\n"
            "bitmap 200, language 1033: 1 picture, 48x48\nbitmap 201, language 1033: 1 picture, 48x48\n"
            "bitmap 202, language 1033: 1 picture, 48x48\nbitmap 203, language 1033: 1 picture, 31x16\n"
            "icon group 1, language 1033: 6 pictures, 32x32 16x16 256x256 48x48 32x32 16x16\n");
}

}  // namespace
}  // namespace delvix::cli
