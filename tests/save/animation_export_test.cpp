// Animated cursors out as animated GIF and PNG files, read back by ImageMagick and FFmpeg.
#include "save/animation_export.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "../cli/cli_run.h"
#include "codecs/png_decode.h"
#include "formats/ani_reader.h"
#include "formats/document_reader.h"
#include "support/corpus.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::save {
namespace {

using namespace delvix::testing;
using cli::CliRun;

// Frame 0: a 16 x 16 opaque red bitmap that its directory entry calls 32 x 32 (the reader takes frames of one
// size). Frame 1: 32 x 32, its left half transparent, its right half opaque blue.
ByteVector twoFrames() {
  DibImage red{.width = 16, .height = 16, .bitCount = 4, .palette = {0, 0xFF0000}};
  red.colourRows.assign(16 * 8, 0x11);
  IconFile redIcon;
  redIcon.entries.push_back({.record = red.bytes(), .width = 32, .height = 32});
  DibImage blue{.width = 32, .height = 32, .bitCount = 32};
  for (int i = 0; i < 32 * 32; ++i) {
    const ByteVector pixel = i % 32 < 16 ? ByteVector{0, 0, 0, 0} : ByteVector{255, 0, 0, 255};
    blue.colourRows.insert(blue.colourRows.end(), pixel.begin(), pixel.end());
  }
  return joined({ByteVector{'f', 'r', 'a', 'm'}, iconChunk(redIcon), iconChunk(blue)});
}

// Five steps with their own rates; step 3 names a frame the file does not hold.
ByteVector fiveStepCursor(std::initializer_list<std::uint32_t> sequence = {0, 1, 7, 1, 0}) {
  return riff("ACON", {aniHeader({.frames = 2, .steps = 5, .attributes = 3}), chunk("rate", u32s({6, 12, 3, 30, 1})),
                       chunk("seq ", u32s(sequence)), chunk("LIST", twoFrames())});
}

void read(const ByteVector& bytes, model::Document& document) {
  formats::RecordingReporter reporter;
  EXPECT_TRUE(formats::readAnimatedCursor(bytes, document, {}, reporter));
}

std::string shellQuoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// Each frame's delay in seconds as a peer reads the file.
std::vector<double> peerDelays(const std::filesystem::path& file) {
  std::istringstream text(file.extension() == ".gif"
                              ? runAndCapture("/usr/bin/identify -format '%T\\n' " + shellQuoted(file) + " 2>/dev/null")
                              : runAndCapture("ffprobe -v error -show_entries frame=pkt_duration_time -of csv=p=0 " +
                                              shellQuoted(file) + " 2>/dev/null"));
  std::vector<double> delays;
  for (double value = 0; text >> value;) delays.push_back(file.extension() == ".gif" ? value / 100 : value);
  return delays;
}

bool havePeers() { return haveProgram("ffprobe") && haveProgram("ffmpeg") && haveProgram("compare"); }

TEST(AnimationExport, DelaysInEachFormatsUnit) {
  struct Case {
    std::uint32_t jiffies;
    int hundredths;
    DelayFraction fraction;
  };
  for (const Case& c : std::initializer_list<Case>{{0, 0, {0, 60}},
                                                   {1, 2, {1, 60}},  // 1.67 hundredths
                                                   {2, 3, {2, 60}},  // 3.33
                                                   {6, 10, {6, 60}},
                                                   {39321, 65535, {39321, 60}},
                                                   {39322, 65535, {39322, 60}},
                                                   {65536, 65535, {1092, 1}},
                                                   {0xFFFFFFFF, 65535, {65535, 1}}}) {
    EXPECT_EQ(gifDelayOfJiffies(c.jiffies), c.hundredths) << c.jiffies;
    EXPECT_EQ(apngDelayOfJiffies(c.jiffies), c.fraction) << c.jiffies;
  }
}

TEST(AnimationExport, StepsInOrderCentredOnTheLargestFrame) {
  model::Document document;
  read(fiveStepCursor(), document);
  const AnimationFrames frames = collectAnimation(document);
  ASSERT_TRUE(frames.error.empty()) << frames.error;
  ASSERT_EQ(frames.pictures.size(), 2u);
  std::vector<std::pair<std::size_t, std::uint32_t>> steps;
  for (const AnimationStep& step : frames.steps) steps.emplace_back(step.picture, step.jiffies);
  EXPECT_EQ(steps, (std::vector<std::pair<std::size_t, std::uint32_t>>{{0, 6}, {1, 12}, {1, 30}, {0, 1}}));
  ASSERT_EQ(frames.messages.size(), 1u);
  EXPECT_NE(frames.messages[0].find("Step 3 names frame 7"), std::string::npos) << frames.messages[0];

  const gfx::Image& red = frames.pictures[0];
  ASSERT_EQ(red.width(), 32);
  ASSERT_EQ(red.height(), 32);
  for (auto [x, y, colour] : {std::tuple{8, 8, gfx::rgb(255, 0, 0)}, std::tuple{23, 23, gfx::rgb(255, 0, 0)},
                              std::tuple{7, 8, gfx::Pixel{0}}, std::tuple{24, 23, gfx::Pixel{0}}})
    EXPECT_EQ(red.at(x, y), colour) << x << ", " << y;
  EXPECT_EQ(gfx::alpha(frames.pictures[1].at(15, 0)), 0);
  EXPECT_EQ(frames.pictures[1].at(16, 0), gfx::rgb(0, 0, 255));

  // The default image of the animated PNG is the first step's picture.
  const EncodedAnimation png = encodeAnimation(document, ImageFormat::png);
  ASSERT_TRUE(png.error.empty()) << png.error;
  EXPECT_EQ(codecs::decodePng(png.bytes).value_or(gfx::Image()).pixels(), red.pixels());
}

TEST(AnimationExport, PeersPlayTheStepsForTheirDelays) {
  if (!havePeers()) GTEST_SKIP() << "needs ffprobe, ffmpeg and ImageMagick";
  TempDir dir;
  const auto cursor = dir.write("five.ani", fiveStepCursor());
  const std::vector<double> seconds{0.1, 0.2, 0.5, 1.0 / 60};
  for (const char* format : {"gif", "png"}) {
    CliRun run({"export", cursor.string(), dir.path().string(), "--format", format, "--animated"});
    ASSERT_EQ(run.status, cli::exitOk) << run.err.str();
    EXPECT_NE(run.err.str().find("Step 3 names frame 7"), std::string::npos) << run.err.str();
    const std::vector<double> delays = peerDelays(dir.path() / (std::string("five.") + format));
    ASSERT_EQ(delays.size(), seconds.size()) << format;
    for (std::size_t i = 0; i < delays.size(); ++i) EXPECT_NEAR(delays[i], seconds[i], 0.005) << format << i;
  }
  EXPECT_EQ(runAndCapture("/usr/bin/identify -format '%wx%h,' " + shellQuoted(dir.path() / "five.gif")),
            "32x32,32x32,32x32,32x32,");
}

TEST(AnimationExport, RefusalsWriteNothing) {
  TempDir dir;
  DibImage small{.width = 16, .height = 16, .bitCount = 4};
  IconFile icon;
  icon.entries.push_back({small.bytes()});
  IconFile large;
  large.entries.push_back({solidPng(256, 256, 0xFF0000FF)});
  // 600 steps of a 256 x 256 frame: more pixels than an animation may hold.
  ByteVector manySteps = u32s({});
  for (int i = 0; i < 600; ++i) appendLe32(manySteps, 0);
  struct Case {
    const char* name;
    ByteVector file;
    std::vector<std::string> options;
    int status;
    const char* says;
  };
  const std::vector<Case> cases{
      {"icon.ico", icon.bytes(), {"--format", "gif"}, cli::exitRefused, "not an animated cursor: --animated has no steps"},
      {"five.ani", fiveStepCursor(), {"--format", "bmp"}, cli::exitUsage, "--help"},
      {"five.ani", fiveStepCursor(), {"--zoom", "2"}, cli::exitUsage, "--help"},
      {"five.ani", fiveStepCursor(), {"--alpha"}, cli::exitUsage, "--help"},
      {"none.ani", fiveStepCursor({5, 6, 7, 8, 9}), {}, cli::exitRefused, "No step of the animated cursor"},
      {"large.ani",
       riff("ACON", {aniHeader({.frames = 1, .steps = 600, .attributes = 3}), chunk("seq ", manySteps),
                     chunk("LIST", joined({ByteVector{'f', 'r', 'a', 'm'}, iconChunk(large)}))}),
       {},
       cli::exitRefused,
       "too large"},
  };
  for (const Case& c : cases) {
    const auto out = dir.path() / (std::string(c.name) + ".out");
    std::vector<std::string> args{"export", dir.write(c.name, c.file).string(), out.string(), "--animated"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    CliRun run(args);
    EXPECT_EQ(run.status, c.status) << c.name;
    EXPECT_NE(run.err.str().find(c.says), std::string::npos) << c.name << ": " << run.err.str();
    EXPECT_FALSE(std::filesystem::exists(out)) << c.name;
  }
}

// Every animated cursor of the corpus: the peers find each step with its delay, and the animated PNG's
// frames are the pictures that `export --format png` writes one by one.
TEST(AnimationExport, CorpusCursorsMatchTheirFrameExports) {
  const auto files = corpusFiles("ani");
  if (files.empty()) GTEST_SKIP() << "no sample corpus";
  if (!havePeers()) GTEST_SKIP() << "needs ffprobe, ffmpeg and ImageMagick";
  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    TempDir dir;
    model::Document document;
    formats::RecordingReporter reporter;
    ASSERT_EQ(formats::readDocument(file.string(), document, {}, reporter), formats::ReadOutcome::read);
    const AnimationFrames frames = collectAnimation(document);
    ASSERT_TRUE(frames.error.empty()) << frames.error;

    ASSERT_EQ(CliRun({"export", file.string(), (dir.path() / "frames").string()}).status, cli::exitOk);
    for (const char* format : {"gif", "png"})
      ASSERT_EQ(CliRun({"export", file.string(), dir.path().string(), "--animated", "--format", format}).status,
                cli::exitOk);
    const auto stem = dir.path() / file.stem();
    for (const char* extension : {".gif", ".png"}) {
      const std::vector<double> delays = peerDelays(stem.string() + extension);
      ASSERT_EQ(delays.size(), frames.steps.size()) << extension;
      for (std::size_t i = 0; i < delays.size(); ++i)
        EXPECT_NEAR(delays[i], frames.steps[i].jiffies / 60.0, 0.005) << extension << " step " << i + 1;
    }

    // Steps left out would no longer line up with the sequence.
    if (!frames.messages.empty()) continue;
    runAndCapture("ffmpeg -v error -i " + shellQuoted(std::filesystem::path(stem.string() + ".png")) +
                  " -fps_mode passthrough -pix_fmt rgba " + shellQuoted(dir.path() / "step_%d.png"));
    std::set<std::size_t> compared;
    for (std::size_t step = 0; step < frames.steps.size(); ++step) {
      const std::size_t frame = document.ani.frameOfStep(step).value_or(0);
      if (!compared.insert(frame).second) continue;
      const auto decoded = dir.path() / ("step_" + std::to_string(step + 1) + ".png");
      const auto picture = dir.path() / "frames" / ("picture_" + std::to_string(frame + 1) + ".png");
      const std::string different =
          runAndCapture("compare -metric AE " + shellQuoted(decoded) + " " + shellQuoted(picture) + " null: 2>&1");
      EXPECT_EQ(different, "0") << "step " << step + 1;
    }
  }
}

}  // namespace
}  // namespace delvix::save
