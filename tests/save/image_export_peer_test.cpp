// ImageMagick decodes every picture of the sample icons, cursors and animated cursors exported as PNG, BMP and
// JPEG back to the rendering they were made from.
#include <gtest/gtest.h>

#include <cmath>

#include "codecs/bmp_encode.h"
#include "codecs/bmp_palette.h"
#include "formats/document_reader.h"
#include "formats/le_bytes.h"
#include "preview/frame_render.h"
#include "save/image_export.h"
#include "support/corpus.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace delvix::save {
namespace {

using namespace delvix::testing;

struct Exported {
  std::string name;  // the file's name without extension; the peer writes NAME.rgb
  gfx::Image rendering;
  ImageFormat format;
  bool exact;  // the peer must give back every pixel
};

// The rendering's colours fit the BMP's palette, so the file holds them all.
bool coloursFit(const gfx::Image& image, const ExportOptions& options) {
  const int bits = codecs::bmpBitCount(options.bitCount);
  if (bits > 8) return true;
  const std::size_t capacity = std::size_t{1} << bits;
  return codecs::distinctColours(image, capacity).has_value();
}

// Peak signal-to-noise ratio of the peer's RGB bytes against the rendering, in dB.
double psnr(const gfx::Image& ours, const std::vector<std::uint8_t>& theirs) {
  double squares = 0;
  for (std::size_t i = 0; i < ours.pixels().size(); ++i) {
    const gfx::Pixel p = ours.pixels()[i];
    const int channels[] = {gfx::red(p), gfx::green(p), gfx::blue(p)};
    for (std::size_t c = 0; c < 3; ++c) {
      const double d = channels[c] - theirs[3 * i + c];
      squares += d * d;
    }
  }
  if (squares == 0) return INFINITY;
  return 10 * std::log10(255.0 * 255.0 / (squares / (3.0 * static_cast<double>(ours.pixels().size()))));
}

std::vector<std::uint8_t> rgbBytes(const gfx::Image& image) {
  std::vector<std::uint8_t> bytes;
  for (gfx::Pixel p : image.pixels()) bytes.insert(bytes.end(), {gfx::red(p), gfx::green(p), gfx::blue(p)});
  return bytes;
}

TEST(ImageExportPeer, ImageMagickReadsEveryExportBackAsTheRendering) {
  if (!haveProgram("mogrify")) GTEST_SKIP() << "ImageMagick is not installed";
  std::vector<std::filesystem::path> files;
  for (const char* folder : {"ico", "cur", "ani"})
    for (auto& file : corpusFiles(folder)) files.push_back(file);
  if (files.empty()) GTEST_SKIP() << "the sample corpus is not there";

  TempDir dir;
  std::filesystem::create_directories(dir.path() / "in");
  std::filesystem::create_directories(dir.path() / "out");
  std::vector<Exported> exported;
  int fourBitBmps = 0;
  for (std::size_t f = 0; f < files.size(); ++f) {
    model::Document document;
    formats::RecordingReporter reporter;
    if (formats::readDocument(files[f], document, {}, reporter) != formats::ReadOutcome::read) continue;
    for (int index = 0; index < static_cast<int>(document.pictures.size()); ++index) {
      const preview::Rendering rendering = preview::renderPlain(document, index);
      if (rendering.image.empty()) continue;
      const ExportOptions options = exportOptionsOf(document, index);
      const std::string base = "f" + std::to_string(f) + "_p" + std::to_string(index + 1);
      SCOPED_TRACE(files[f].filename().string() + " picture " + std::to_string(index + 1));
      for (ImageFormat format : {ImageFormat::png, ImageFormat::bmp, ImageFormat::jpeg}) {
        const Encoded encoded = encodeImage(rendering.image, format, options);
        ASSERT_EQ(encoded.error, "");
        const std::string name = base + "_" + std::string(extensionOf(format)).substr(1);
        dir.write("in/" + name + std::string(extensionOf(format)), encoded.bytes);
        if (format == ImageFormat::bmp) {
          const int bits = formats::le16(encoded.bytes, 28);
          EXPECT_EQ(bits, codecs::bmpBitCount(options.bitCount));
          fourBitBmps += bits == 4;
        }
        exported.push_back(
            {name, rendering.image, format,
             format == ImageFormat::png || (format == ImageFormat::bmp && coloursFit(rendering.image, options))});
      }
    }
  }
  ASSERT_FALSE(exported.empty());
  EXPECT_GT(fourBitBmps, 0);
  runAndCapture("mogrify -path '" + (dir.path() / "out").string() + "' -format rgb -depth 8 -alpha off '" +
                (dir.path() / "in").string() + "'/* 2>&1");

  int exact = 0;
  for (const Exported& e : exported) {
    SCOPED_TRACE(e.name);
    const auto theirs = readFileBytes(dir.path() / "out" / (e.name + ".rgb"));
    ASSERT_TRUE(theirs) << "ImageMagick could not read it";
    ASSERT_EQ(theirs->size(), 3 * e.rendering.pixels().size());
    if (e.exact) {
      EXPECT_TRUE(*theirs == rgbBytes(e.rendering));
      ++exact;
    } else if (e.format == ImageFormat::jpeg) {
      EXPECT_GE(psnr(e.rendering, *theirs), 45.0);
    }
  }
  EXPECT_GT(exact, 0);
}

}  // namespace
}  // namespace delvix::save
