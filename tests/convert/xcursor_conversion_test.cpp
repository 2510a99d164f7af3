// Cursors converted between Windows and X11: pictures, hot spots, delays, inverting pixels and sizes.
#include "convert/xcursor_conversion.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "formats/document_reader.h"
#include "preview/hot_spot.h"
#include "support/corpus.h"
#include "support/icon_builder.h"
#include "support/temp_dir.h"

namespace delvix::convert {
namespace {

namespace xc = formats::xcursor;
using namespace delvix::testing;

std::optional<xc::XcursorFile> xcursorOfFile(const std::filesystem::path& path, formats::Reporter& reporter,
                                             ToXcursorOptions options = {}) {
  model::Document document;
  if (formats::readDocument(path, document, {}, reporter) != formats::ReadOutcome::read) return std::nullopt;
  return xcursorFromDocument(document, options, reporter);
}

// Alpha exact, premultiplied colours within one level.
void expectSameImages(const xc::XcursorFile& expected, const xc::XcursorFile& actual, const std::string& what) {
  const auto want = xc::imagesOf(expected);
  const auto got = xc::imagesOf(actual);
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t i = 0; i < want.size(); ++i) {
    const xc::ImageChunk& a = *want[i];
    const xc::ImageChunk& b = *got[i];
    EXPECT_EQ(std::tie(b.nominalSize, b.width, b.height, b.xHot, b.yHot, b.delay),
              std::tie(a.nominalSize, a.width, a.height, a.xHot, a.yHot, a.delay))
        << what << " image " << i;
    ASSERT_EQ(b.pixels.size(), a.pixels.size());
    std::size_t off = 0;
    for (std::size_t p = 0; p < a.pixels.size(); ++p) {
      bool close = gfx::alpha(a.pixels[p]) == gfx::alpha(b.pixels[p]);
      for (int shift : {0, 8, 16})
        close &= std::abs(int(a.pixels[p] >> shift & 0xFF) - int(b.pixels[p] >> shift & 0xFF)) <= 1;
      off += close ? 0 : 1;
    }
    EXPECT_EQ(off, 0u) << what << " image " << i << ": pixels that differ";
  }
}

TEST(XcursorConversion, CorpusCursorsMakeTheRoundTripToX11AndBack) {
  std::size_t checked = 0;
  for (const char* folder : {"cur", "ani"}) {
    for (const auto& path : corpusFiles(folder)) {
      formats::RecordingReporter reporter;
      auto x11 = xcursorOfFile(path, reporter);
      ASSERT_TRUE(x11) << path;
      // Every size of a frame counts, not only the first picture of each.
      if (path.filename() == "yaru-progress.ani" || path.filename() == "yaru-default.cur") {
        EXPECT_EQ(xc::nominalSizesOf(*x11), (std::vector<std::uint32_t>{24, 32, 48, 64, 96})) << path;
      }
      const auto windows = windowsCursorFromXcursor(*x11, {}, reporter);
      ASSERT_TRUE(windows) << path;
      // A single step is a still cursor: its time is not kept.
      if (!windows->animated)
        for (xc::Chunk& chunk : x11->chunks) std::get<xc::ImageChunk>(chunk.content).delay = 0;
      TempDir dir;
      const auto back = xcursorOfFile(dir.write(windows->animated ? "back.ani" : "back.cur", windows->bytes), reporter);
      ASSERT_TRUE(back) << path;
      expectSameImages(*x11, *back, path.filename().string());
      ++checked;
    }
  }
  if (checked == 0) GTEST_SKIP() << "no corpus";
}

// An 8x8 one-bit cursor, all masked, whose pixel 3,3 is white: it inverts the screen. Hot spot 3,3.
std::vector<std::uint8_t> invertingCursor() {
  DibImage image{.width = 8, .height = 8, .bitCount = 1, .palette = {0x000000, 0xFFFFFF}};
  image.colourRows.assign(32, 0);
  image.colourRows[4 * 4] = 0x10;  // stored bottom up: row 4 is the fourth from the top
  image.maskRows.assign(32, 0xFF);
  return IconFile{.type = 2, .entries = {IconEntry{.record = image.bytes(), .planes = 3, .bitCount = 3}}}.bytes();
}

TEST(XcursorConversion, InvertingPixelsAreDrawnAsAsked) {
  struct Case {
    InvertedPixels how;
    gfx::Pixel centre, beside, far;
    const char* logged;
  };
  for (const Case& c :
       {Case{InvertedPixels::darkWithOutline, 0xFF000000, 0xFFFFFFFF, 0,
             "picture_1: 1 inverting pixel is written dark with a light outline."},
        Case{InvertedPixels::transparent, 0, 0, 0, "picture_1: 1 inverting pixel is written transparent."}}) {
    TempDir dir;
    formats::RecordingReporter reporter;
    const auto file = xcursorOfFile(dir.write("i.cur", invertingCursor()), reporter, {c.how});
    ASSERT_TRUE(file);
    const xc::ImageChunk& image = *xc::imagesOf(*file).at(0);
    EXPECT_EQ(std::tie(image.nominalSize, image.xHot, image.yHot), std::tuple(8u, 3u, 3u));
    EXPECT_EQ(image.pixels[3 * 8 + 3], c.centre);
    EXPECT_EQ(image.pixels[2 * 8 + 4], c.beside);
    EXPECT_EQ(image.pixels[0], c.far);
    EXPECT_TRUE(reporter.logged(c.logged)) << ::testing::PrintToString(reporter.lines);
  }
}

xc::Chunk imageChunk(std::uint32_t size, gfx::Pixel colour, std::uint32_t xHot, std::uint32_t yHot,
                     std::uint32_t delay) {
  const int side = static_cast<int>(size);
  xc::Chunk chunk{xc::imageType, size, xc::imageChunkOf(gfx::Image(side, side, colour), size, xHot, yHot, delay), {}};
  return chunk;
}

TEST(XcursorConversion, AnimationsKeepTheirTimesRepeatsAndScaledHotSpots) {
  xc::XcursorFile file;
  // Size 32 shows A, B, A; size 48 the same at its own hot spot.
  for (auto [colour, delay] : {std::pair{0xFF102030u, 50u}, {0xFF405060u, 100u}, {0xFF102030u, 50u}}) {
    file.chunks.push_back(imageChunk(32, colour, 10, 20, delay));
    file.chunks.push_back(imageChunk(48, colour, 15, 30, delay));
  }
  struct Case {
    std::vector<std::uint32_t> sizes;
    int side;
    preview::Point hotSpot;
  };
  for (const Case& c :
       {Case{{}, 32, {10, 20}}, Case{{48}, 48, {15, 30}}, Case{{16}, 16, {5, 10}}, Case{{64}, 64, {20, 40}}}) {
    formats::RecordingReporter reporter;
    const auto windows = windowsCursorFromXcursor(file, {c.sizes}, reporter);
    ASSERT_TRUE(windows && windows->animated);
    TempDir dir;
    model::Document document;
    ASSERT_EQ(formats::readDocument(dir.write("a.ani", windows->bytes), document, {}, reporter),
              formats::ReadOutcome::read);
    EXPECT_EQ(document.ani.framesRead, 2u);
    EXPECT_EQ(document.ani.sequence, (std::vector<std::uint32_t>{0, 1, 0}));
    EXPECT_EQ(std::vector({document.ani.stepDelay(0), document.ani.stepDelay(1), document.ani.stepDelay(2)}),
              (std::vector<std::uint32_t>{3, 6, 3}));
    EXPECT_EQ(document.pictures.at(0).sizeText, std::to_string(c.side) + "x" + std::to_string(c.side));
    EXPECT_EQ(preview::hotSpotOf(document, 1), c.hotSpot) << c.side;
  }
  formats::RecordingReporter reporter;
  EXPECT_FALSE(windowsCursorFromXcursor(file, {{300}}, reporter));
  EXPECT_FALSE(windowsCursorFromXcursor(xc::XcursorFile{}, {}, reporter));
}

}  // namespace
}  // namespace delvix::convert
