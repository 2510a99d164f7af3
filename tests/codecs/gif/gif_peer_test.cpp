// ImageMagick reads the GIF files the codec writes, and the codec's dithered palette holds up against its own.
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>

#include "codecs/gif/gif_codec.h"
#include "codecs/gif/giflib_reader.h"
#include "codecs/png_encode.h"
#include "formats/ico_reader.h"
#include "preview/frame_render.h"
#include "support/corpus.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace delvix::codecs::gif {
namespace {

using namespace delvix::testing;

std::string imageMagick() {
  if (haveProgram("convert-im6.q16")) return "convert-im6.q16";
  return haveProgram("convert") ? "convert" : "";
}

std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

TEST(GifPeer, ImageMagickReadsAnRleGif) {
  const std::string convert = imageMagick();
  if (convert.empty() || !haveProgram("identify")) GTEST_SKIP() << "ImageMagick is not installed";
  gfx::Image picture(45, 30);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      picture.at(x, y) = (x - 20) * (x - 20) + (y - 15) * (y - 15) < 40
                             ? gfx::transparentKey
                             : gfx::rgb(static_cast<std::uint8_t>(x * 5), static_cast<std::uint8_t>(y * 8), 77);
  const IndexedImage reduced =
      reduceColours(picture, {ColorReduction::rmQuantize, DitherMode::dmFloydSteinberg, 5, Compression::gcRLE});
  TempDir dir;
  const auto gif = dir.write("rle.gif", encodeGif(reduced, Compression::gcRLE));

  EXPECT_EQ(runAndCapture("identify -format '%m %w %h' " + quoted(gif) + " 2>&1"), "GIF 45 30");
  const auto rgba = dir.path() / "out.rgba";
  runAndCapture(convert + " " + quoted(gif) + " -depth 8 'rgba:" + rgba.string() + "' 2>&1");
  const auto theirs = readFileBytes(rgba);
  const gfx::Image ours = renderIndexed(reduced);
  ASSERT_TRUE(theirs);
  ASSERT_EQ(theirs->size(), 4 * ours.pixels().size());
  for (std::size_t i = 0; i < ours.pixels().size(); ++i) {
    const gfx::Pixel p = ours.pixels()[i];
    const std::uint8_t* q = theirs->data() + 4 * i;
    if (p == gfx::transparentKey)
      ASSERT_EQ(q[3], 0) << "pixel " << i << " should be transparent";
    else
      ASSERT_EQ(gfx::rgb(q[0], q[1], q[2], q[3]), p) << "pixel " << i;
  }
}

// A 3 x 3 box blur, edges repeated: what the eye sees of a dithered picture from a little way off.
std::vector<double> blurred(const gfx::Image& image) {
  std::vector<double> out;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      for (int shift : {16, 8, 0}) {
        double sum = 0;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            sum += (image.at(std::clamp(x + dx, 0, image.width() - 1), std::clamp(y + dy, 0, image.height() - 1)) >>
                    shift) &
                   0xFF;
        out.push_back(sum / 9);
      }
  return out;
}

double psnrAfterBlur(const gfx::Image& original, const gfx::Image& reduced) {
  const auto a = blurred(original);
  const auto b = blurred(reduced);
  double squares = 0;
  for (std::size_t i = 0; i < a.size(); ++i) squares += (a[i] - b[i]) * (a[i] - b[i]);
  const double mse = squares / static_cast<double>(a.size());
  return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// The largest picture of the sample, drawn plainly on the canvas, opaque.
gfx::Image largestPicture(const std::filesystem::path& file) {
  model::Document document;
  formats::RecordingReporter reporter;
  gfx::Image largest;
  if (!formats::readIconFile(file, document, {}, reporter)) return largest;
  for (int index = 0; index < document.imageCount; ++index) {
    gfx::Image picture = preview::renderPlain(document, index).image;
    if (picture.pixels().size() > largest.pixels().size()) largest = std::move(picture);
  }
  for (gfx::Pixel& p : largest.pixels()) p |= 0xFF000000u;
  return largest;
}

TEST(GifPeer, DitheredOptimisedPaletteIsNoWorseThanImageMagicks) {
  const std::string convert = imageMagick();
  if (convert.empty()) GTEST_SKIP() << "ImageMagick is not installed";
  TempDir dir;
  int compared = 0;
  // The first has 255 colours, which the codec keeps exactly; the others have a few hundred to thousands.
  for (const char* name : {"icotool-32bit.ico", "thg-hg.ico", "wrestool-shell32-14-134.ico"}) {
    const auto file = std::filesystem::path(DELVIX_CORPUS_DIR) / "ico" / name;
    if (!std::filesystem::exists(file)) continue;
    SCOPED_TRACE(name);
    const gfx::Image picture = largestPicture(file);
    ASSERT_FALSE(picture.empty());

    const IndexedImage reduced =
        reduceColours(picture, {ColorReduction::rmQuantize, DitherMode::dmFloydSteinberg, 8, Compression::gcLZW});
    const auto ours = readWithGiflib(encodeGif(reduced, Compression::gcLZW));
    ASSERT_TRUE(ours);

    const auto png = dir.write("in.png", *encodePng(picture));
    const auto theirsFile = dir.path() / "out.gif";
    std::filesystem::remove(theirsFile);
    // -dither is a setting: it must come before the -colors that it is to govern.
    runAndCapture(convert + " " + quoted(png) + " -dither FloydSteinberg -colors 256 " + quoted(theirsFile) + " 2>&1");
    const auto theirsBytes = readFileBytes(theirsFile);
    ASSERT_TRUE(theirsBytes) << "ImageMagick wrote nothing";
    const auto theirs = readWithGiflib(*theirsBytes);
    ASSERT_TRUE(theirs);

    const double ourPsnr = psnrAfterBlur(picture, pictureOf(*ours));
    const double theirPsnr = psnrAfterBlur(picture, pictureOf(*theirs));
    std::cout << name << " " << picture.width() << "x" << picture.height() << ", PSNR after a 3x3 blur: ours "
              << ourPsnr << " dB, ImageMagick " << theirPsnr << " dB\n";
    EXPECT_GE(ourPsnr, theirPsnr);
    ++compared;
  }
  if (compared == 0) GTEST_SKIP() << "the sample corpus is not there";
}

}  // namespace
}  // namespace delvix::codecs::gif
