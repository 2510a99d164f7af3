// Peers read the cursors the conversion writes: libXcursor the X cursor files, icotool and gdk-pixbuf the
// Windows ones; files xcursorgen builds are read back as it wrote them.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "codecs/png_encode.h"
#include "convert/xcursor_conversion.h"
#include "formats/document_reader.h"
#include "support/corpus.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace delvix::convert {
namespace {

namespace xc = formats::xcursor;
using namespace delvix::testing;

bool haveLibXcursor() {
  return haveProgram("python3") &&
         runAndCapture("python3 -c 'import ctypes; ctypes.CDLL(\"libXcursor.so.1\")' 2>/dev/null && echo yes") ==
             "yes\n";
}

// libXcursor's images of each of `files` (one run, the library loads slowly) as lines
// "size width height xhot yhot delay pixel...".
std::vector<std::vector<std::string>> libXcursorImages(const std::vector<std::filesystem::path>& files) {
  std::string command = "python3 '" DELVIX_XCURSOR_IMAGES "'";
  for (const auto& file : files) command += " '" + file.string() + "'";
  std::istringstream lines(runAndCapture(command));
  std::vector<std::vector<std::string>> images;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("== "))
      images.emplace_back();
    else if (!images.empty())
      images.back().push_back(line);
  }
  return images;
}

std::string imageLine(const xc::ImageChunk& image) {
  std::ostringstream line;
  line << image.nominalSize << ' ' << image.width << ' ' << image.height << ' ' << image.xHot << ' ' << image.yHot
       << ' ' << image.delay << std::hex;
  for (std::uint32_t pixel : image.pixels) line << ' ' << pixel;
  return line.str();
}

TEST(XcursorPeer, LibXcursorLoadsTheCorpusCursorsConverted) {
  if (!haveLibXcursor()) GTEST_SKIP() << "libXcursor or python3 missing";
  TempDir dir;
  std::vector<std::filesystem::path> written;
  std::vector<std::vector<std::string>> expected;
  for (const char* folder : {"cur", "ani"}) {
    for (const auto& path : corpusFiles(folder)) {
      formats::RecordingReporter reporter;
      model::Document document;
      ASSERT_EQ(formats::readDocument(path, document, {}, reporter), formats::ReadOutcome::read);
      const auto file = xcursorFromDocument(document, {}, reporter);
      ASSERT_TRUE(file) << path;
      expected.emplace_back();
      for (const xc::ImageChunk* image : xc::imagesOf(*file)) expected.back().push_back(imageLine(*image));
      written.push_back(dir.write(path.filename().string() + ".xcursor", xc::writeXcursor(*file)));
    }
  }
  if (written.empty()) GTEST_SKIP() << "no corpus";
  const auto loaded = libXcursorImages(written);
  ASSERT_EQ(loaded.size(), expected.size());
  for (std::size_t i = 0; i < written.size(); ++i) EXPECT_EQ(loaded[i], expected[i]) << written[i];
}

// A cursor xcursorgen builds from PNG files: three frames at 24 (40, 80, 40 ms), one at 32.
struct BuiltCursor {
  TempDir dir;
  std::filesystem::path file;
  std::vector<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, gfx::Pixel>> images;
};

void buildWithXcursorgen(BuiltCursor& built) {
  built.images = {
      {24, 3, 4, 40, 0xFF2040E0}, {24, 3, 4, 80, 0x80FF8000}, {24, 3, 4, 40, 0xFF2040E0}, {32, 4, 5, 40, 0xC0102030}};
  std::ostringstream config;
  for (std::size_t i = 0; i < built.images.size(); ++i) {
    const auto& [size, x, y, delay, colour] = built.images[i];
    gfx::Image image(static_cast<int>(size), static_cast<int>(size), colour);
    image.at(0, 0) = 0;  // one transparent pixel
    const auto png = codecs::encodePng(image);
    ASSERT_TRUE(png);
    const std::string name = "f" + std::to_string(i) + ".png";
    built.dir.write(name, *png);
    config << size << ' ' << x << ' ' << y << ' ' << name << ' ' << delay << '\n';
  }
  built.dir.write("config", [&] {
    const std::string text = config.str();
    return std::vector<std::uint8_t>(text.begin(), text.end());
  }());
  built.file = built.dir.path() / "cursor";
  runAndCapture("cd '" + built.dir.path().string() + "' && xcursorgen config cursor");
}

TEST(XcursorPeer, XcursorgenFilesReadBackAndBecomeWindowsCursorsPeersRead) {
  if (!haveProgram("xcursorgen")) GTEST_SKIP() << "xcursorgen missing";
  BuiltCursor built;
  buildWithXcursorgen(built);
  formats::RecordingReporter reporter;
  xc::XcursorFile file;
  const auto bytes = readFileBytes(built.file);
  ASSERT_TRUE(bytes) << "xcursorgen wrote nothing";
  ASSERT_TRUE(xc::readXcursor(*bytes, file, reporter));
  const auto images = xc::imagesOf(file);
  ASSERT_EQ(images.size(), built.images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const auto& [size, x, y, delay, colour] = built.images[i];
    const xc::ImageChunk& image = *images[i];
    EXPECT_EQ(std::tie(image.nominalSize, image.width, image.xHot, image.yHot, image.delay),
              std::tie(size, size, x, y, delay));
    EXPECT_EQ(image.pixels[0], 0u);
    const gfx::Pixel stored = image.pixels[1];
    const gfx::Pixel ours = xc::premultiplied(colour);
    for (int shift : {0, 8, 16, 24}) EXPECT_NEAR(int(stored >> shift & 0xFF), int(ours >> shift & 0xFF), 1) << i;
  }

  // Animated: frames 1 and 3 are one frame shown twice; gdk-pixbuf plays the times rounded to 1/60 s, and
  // the comments' INFO list does not stop it.
  file.chunks.push_back({xc::commentType, 1, xc::CommentChunk{.kind = 1, .text = "(c) the authors"}, {}});
  file.chunks.push_back({xc::commentType, 3, xc::CommentChunk{.kind = 3, .text = "odd"}, {}});
  const auto animated = windowsCursorFromXcursor(file, {}, reporter);
  ASSERT_TRUE(animated && animated->animated);
  const auto ani = built.dir.write("back.ani", animated->bytes);
#ifdef DELVIX_ANI_STEP_DELAYS
  EXPECT_EQ(runAndCapture("'" DELVIX_ANI_STEP_DELAYS "' '" + ani.string() + "' 3 2>/dev/null"), "33\n83\n33\n");
#endif
  // Still: the size 32 alone, as icotool lists it.
  const auto still = windowsCursorFromXcursor(file, {{32}}, reporter);
  ASSERT_TRUE(still && !still->animated);
  const auto cur = built.dir.write("back.cur", still->bytes);
  if (haveProgram("icotool")) {
    EXPECT_EQ(runAndCapture("icotool -l '" + cur.string() + "'"),
              "--cursor --index=1 --width=32 --height=32 --bit-depth=32 --palette-size=0 --hotspot-x=4 "
              "--hotspot-y=5\n");
  }
}

}  // namespace
}  // namespace delvix::convert
