// ImageMagick flattens the images with alpha of the sample icons and cursors onto the canvas colour the
// way the alpha view blends them, and scales them the way the view zooms.
#include <gtest/gtest.h>

#include <cstdlib>

#include "formats/ico_reader.h"
#include "preview/frame_render.h"
#include "preview/zoom.h"
#include "support/corpus.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace delvix::preview {
namespace {

using namespace delvix::testing;

std::string imageMagick() {
  if (haveProgram("convert-im6.q16")) return "convert-im6.q16";
  return haveProgram("convert") ? "convert" : "";
}

// 32-bit uncompressed bitmaps with their rows, and PNG images: the pictures whose alpha view ImageMagick
// can check.
bool carriesAlpha(const model::Document& document, int index) {
  const model::Node* picture = pictureNode(document, index);
  return picture && (picture->findChild("png_data") || hasPerPixelAlpha(document, index));
}

// ImageMagick sizes an image by its directory entry; a few samples' entries give half the real height.
bool directoryGivesTheSize(const model::Document& document, int index, const gfx::Image& image) {
  const model::Node* entry = document.tree.findFirst("icon_dir_" + std::to_string(index + 1));
  if (!entry || entry->block().size() < 2) return false;
  return entry->block()[0] == (image.width() & 0xFF) && entry->block()[1] == (image.height() & 0xFF);
}

// How far the picture is from ImageMagick's raw RGB output, in "x, y: ours vs theirs" of the first pixel
// that differs by more than one level; empty when they match.
std::string difference(const gfx::Image& ours, const std::vector<std::uint8_t>& theirs) {
  const auto pixels = static_cast<std::size_t>(ours.width()) * static_cast<std::size_t>(ours.height());
  if (theirs.size() != 3 * pixels)
    return std::to_string(theirs.size()) + " bytes from the peer for " + std::to_string(ours.width()) + " x " +
           std::to_string(ours.height()) + " pixels";
  for (std::size_t i = 0; i < pixels; ++i) {
    const gfx::Pixel p = ours.pixels()[i];
    const int channels[] = {gfx::red(p), gfx::green(p), gfx::blue(p)};
    for (std::size_t c = 0; c < 3; ++c)
      if (std::abs(channels[c] - theirs[3 * i + c]) > 1)
        return "pixel " + std::to_string(i % static_cast<std::size_t>(ours.width())) + ", " +
               std::to_string(i / static_cast<std::size_t>(ours.width())) + " channel " + std::to_string(c) + ": " +
               std::to_string(channels[c]) + " vs " + std::to_string(theirs[3 * i + c]);
  }
  return {};
}

TEST(FrameRenderPeer, AlphaViewMatchesImageMagickOnTheSamples) {
  const std::string convert = imageMagick();
  if (convert.empty()) GTEST_SKIP() << "ImageMagick is not installed";
  auto files = corpusFiles("ico");
  for (auto& cursor : corpusFiles("cur")) files.push_back(cursor);
  if (files.empty()) GTEST_SKIP() << "the sample corpus is not there";

  TempDir dir;
  const auto output = dir.path() / "peer.rgb";
  int compared = 0;
  for (const auto& file : files) {
    model::Document document;
    formats::RecordingReporter reporter;
    if (!formats::readIconFile(file, document, {}, reporter)) continue;
    // The first picture of each file is compared at 300 %.
    int zoom = 3;
    for (int index = 0; index < document.imageCount; ++index) {
      if (!carriesAlpha(document, index)) continue;
      const Rendering ours = renderAlpha(document, index);
      SCOPED_TRACE(file.filename().string() + " picture " + std::to_string(index + 1));
      ASSERT_TRUE(ours.ok()) << ours.error << ours.logLine;
      if (!directoryGivesTheSize(document, index, ours.image)) continue;
      std::filesystem::remove(output);
      runAndCapture(convert + " '" + file.string() + "[" + std::to_string(index) +
                    "]' +repage -background 'rgb(254,254,254)' -flatten -scale " + std::to_string(100 * zoom) +
                    "% -depth 8 'rgb:" + output.string() + "' 2>&1");
      const auto theirs = readFileBytes(output);
      ASSERT_TRUE(theirs) << "ImageMagick wrote nothing";
      const auto shown = zoomed(ours.image, zoom);
      ASSERT_TRUE(shown);
      EXPECT_EQ(difference(*shown, *theirs), "") << "at " << zoomLabel(zoom);
      zoom = 1;
      ++compared;
    }
  }
  EXPECT_GT(compared, 0);
}

}  // namespace
}  // namespace delvix::preview
