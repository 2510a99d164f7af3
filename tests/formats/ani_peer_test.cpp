// gdk-pixbuf reads the animated cursors Delvix writes, with the same display time for every step.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>

#include "formats/ani_reader.h"
#include "formats/ani_writer.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::formats {
namespace {

using namespace delvix::testing;

#ifdef DELVIX_ANI_STEP_DELAYS
// Each step's delay in milliseconds as gdk-pixbuf plays the file; empty when it refuses it.
std::vector<int> peerDelays(const std::filesystem::path& file, std::size_t steps) {
  const std::string command = "ASAN_OPTIONS=detect_leaks=0 '" DELVIX_ANI_STEP_DELAYS "' '" + file.string() + "' " +
                              std::to_string(steps) + " 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::vector<int> delays;
  int delay = 0;
  while (pipe && std::fscanf(pipe.get(), "%d", &delay) == 1) delays.push_back(delay);
  return delays;
}
#endif

TEST(AniPeer, GdkPixbufPlaysEachStepForItsOwnRate) {
#ifndef DELVIX_ANI_STEP_DELAYS
  GTEST_SKIP() << "built without gdk-pixbuf";
#else
  // Four frames in six steps, six different rates; the INFO list after "anih", where gdk-pixbuf needs it.
  DibImage image{.width = 16, .height = 16, .bitCount = 4, .palette = {0, 0xFF0000}};
  ByteVector frames{'f', 'r', 'a', 'm'};
  for (std::uint8_t shade : {0x01, 0x10, 0x11, 0x00}) {
    image.colourRows.assign(128, shade);
    ByteVector icon = iconChunk(image);
    frames.insert(frames.end(), icon.begin(), icon.end());
  }
  const std::vector<std::uint32_t> rates{6, 12, 18, 24, 30, 36};
  ByteVector original =
      riff("ACON", {aniHeader({.frames = 4, .steps = 6, .attributes = 3}), list("INFO", {chunk("INAM", text("Six"))}),
                    chunk("rate", u32s({6, 12, 18, 24, 30, 36})), chunk("seq ", u32s({0, 1, 2, 3, 2, 1})),
                    chunk("LIST", frames)});
  model::Document document;
  RecordingReporter reporter;
  ASSERT_TRUE(readAnimatedCursor(original, document, {}, reporter));
  TempDir dir;
  const auto written = dir.write("six.ani", writeAniFile(document).bytes);

  std::vector<int> expected;
  for (std::size_t step = 0; step < 6; ++step) {
    EXPECT_EQ(document.ani.stepDelay(step), rates[step]);
    expected.push_back(static_cast<int>(document.ani.stepDelay(step) * 1000 / 60));
  }
  EXPECT_EQ(peerDelays(written, 6), expected);
#endif
}

}  // namespace
}  // namespace delvix::formats
