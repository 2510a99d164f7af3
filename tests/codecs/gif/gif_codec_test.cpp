#include "codecs/gif/gif_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <string>

#include "codecs/gif/giflib_reader.h"
#include "codecs/gif/palettes.h"

namespace delvix::codecs::gif {
namespace {

using delvix::testing::readWithGiflib;

// A smooth spread of a few thousand colours with a transparent block in it.
gfx::Image gradientWithHole() {
  gfx::Image image(61, 37);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.at(x, y) = gfx::rgb(static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 7),
                                static_cast<std::uint8_t>((x * y) & 0xFF));
  for (int y = 5; y < 15; ++y)
    for (int x = 20; x < 33; ++x) image.at(x, y) = gfx::transparentKey;
  return image;
}

// Noise over 61 colours: long enough that plain LZW fills its 4096 codes many times over.
gfx::Image noise() {
  gfx::Image image(300, 170);
  std::uint32_t state = 12345;
  for (gfx::Pixel& p : image.pixels()) {
    state = state * 1664525u + 1013904223u;
    const auto k = (state >> 8) % 61;
    p = gfx::rgb(static_cast<std::uint8_t>(k * 37), static_cast<std::uint8_t>(k * 91),
                 static_cast<std::uint8_t>(k * 53));
  }
  return image;
}

gfx::Image fewColours(int count, bool withHole) {
  gfx::Image image(23, 19);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.at(x, y) = gfx::rgb(static_cast<std::uint8_t>(40 + 13 * ((x * 3 + y) % count)), 90, 200);
  if (withHole) image.at(4, 4) = image.at(5, 4) = gfx::transparentKey;
  return image;
}

gfx::Image pictureOfPalette(const std::vector<gfx::Pixel>& palette) {
  gfx::Image image(static_cast<int>(palette.size()), 2);
  for (int x = 0; x < image.width(); ++x) image.at(x, 0) = image.at(x, 1) = palette[static_cast<std::size_t>(x)];
  return image;
}

constexpr ColorReduction everyReduction[] = {
    ColorReduction::rmNone,        ColorReduction::rmWindows20,  ColorReduction::rmWindows256,
    ColorReduction::rmWindowsGray, ColorReduction::rmMonochrome, ColorReduction::rmGrayScale,
    ColorReduction::rmNetscape,    ColorReduction::rmQuantize,   ColorReduction::rmQuantizeWindows,
    ColorReduction::rmPalette};

// How a decoder that follows the GIF rules reads the codes: the widest code, the number of clear codes, and
// whether the end code came last with only padding after it.
struct CodeWidths {
  int minCodeSize = 0;
  int widest = 0;
  int clears = 0;
  bool endsCleanly = false;
};

CodeWidths codeWidthsOf(const std::vector<std::uint8_t>& gif) {
  std::size_t at = 13 + 3 * (std::size_t{2} << (gif.at(10) & 7));
  while (gif.at(at) == 0x21) {
    at += 2;
    while (gif.at(at) != 0) at += gif.at(at) + 1u;
    ++at;
  }
  at += 10;  // the image descriptor
  CodeWidths widths{gif.at(at++)};
  std::vector<std::uint8_t> data;
  for (std::size_t length; (length = gif.at(at)) != 0; at += length + 1)
    data.insert(data.end(), gif.begin() + static_cast<std::ptrdiff_t>(at + 1),
                gif.begin() + static_cast<std::ptrdiff_t>(at + 1 + length));

  const int clear = 1 << widths.minCodeSize;
  int width = widths.minCodeSize + 1, nextFree = clear + 2;
  bool firstAfterClear = true;
  for (std::size_t bit = 0; bit + static_cast<std::size_t>(width) <= data.size() * 8;) {
    int code = 0;
    for (int i = 0; i < width; ++i, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
    widths.widest = std::max(widths.widest, width);
    if (code == clear + 1) {
      widths.endsCleanly = data.size() * 8 - bit < 8;
      break;
    }
    if (code == clear) {
      ++widths.clears;
      width = widths.minCodeSize + 1;
      nextFree = clear + 2;
      firstAfterClear = true;
      continue;
    }
    if (!firstAfterClear && nextFree < 4096) ++nextFree;
    firstAfterClear = false;
    if (nextFree >= (1 << width) && width < 12) ++width;
  }
  return widths;
}

TEST(GifCodec, EveryReductionAndCompressionDecodesInGiflibToWhatWasReduced) {
  const struct {
    const char* name;
    gfx::Image picture;
  } pictures[] = {{"gradient with a hole", gradientWithHole()},
                  {"noise", noise()},
                  {"one colour", gfx::Image(50, 20, gfx::rgb(10, 200, 30))},
                  {"one pixel", gfx::Image(1, 1, gfx::rgb(1, 2, 3))},
                  {"all transparent", gfx::Image(8, 8, gfx::transparentKey)}};
  int dither = 0;
  for (const auto& [name, picture] : pictures) {
    for (ColorReduction reduction : everyReduction) {
      const Settings settings{reduction, static_cast<DitherMode>(dither++ % 7), 6, Compression::gcLZW};
      const IndexedImage reduced = reduceColours(picture, settings);
      SCOPED_TRACE(std::string(name) + ", reduction " + std::to_string(static_cast<int>(reduction)));
      ASSERT_TRUE(isWellFormed(reduced));
      std::vector<bool> used(reduced.palette.size(), false);
      std::size_t misplacedTransparency = 0;
      for (std::size_t i = 0; i < reduced.indexes.size(); ++i) {
        used[reduced.indexes[i]] = true;
        misplacedTransparency +=
            (picture.pixels()[i] == gfx::transparentKey) != (reduced.indexes[i] == reduced.transparentIndex);
      }
      EXPECT_EQ(std::count(used.begin(), used.end(), false), 0) << "an unused entry was kept";
      EXPECT_EQ(misplacedTransparency, 0u);

      for (Compression compression : {Compression::gcLZW, Compression::gcRLE}) {
        SCOPED_TRACE(compression == Compression::gcRLE ? "RLE" : "LZW");
        const auto gif = encodeGif(reduced, compression);
        const auto read = readWithGiflib(gif);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->width, picture.width());
        EXPECT_EQ(read->height, picture.height());
        EXPECT_EQ(read->imageCount, 1);
        EXPECT_EQ(read->indexes, reduced.indexes);
        EXPECT_EQ(read->transparentIndex, reduced.transparentIndex);
        const std::size_t table = read->table.size();
        EXPECT_TRUE(table >= 2 && table >= reduced.palette.size() && (table & (table - 1)) == 0 &&
                    (table == 2 || table < 2 * reduced.palette.size()))
            << table << " entries for " << reduced.palette.size();
        for (std::size_t i = 0; i < reduced.palette.size(); ++i) EXPECT_EQ(read->table.at(i), reduced.palette[i]) << i;
        EXPECT_EQ(gif.back(), 0x3B);

        const CodeWidths widths = codeWidthsOf(gif);
        EXPECT_EQ(widths.minCodeSize, std::max(2, std::countr_zero(table)));
        EXPECT_TRUE(widths.endsCleanly);
        if (compression == Compression::gcRLE) {
          EXPECT_EQ(widths.widest, widths.minCodeSize + 1);
        } else if (std::string(name) == "noise") {
          EXPECT_GT(widths.clears, 1) << "the long picture never filled the table";
        }
      }
    }
  }
}

TEST(GifCodec, TheEndCodeHasTheWidthTheDecoderExpectsAtEveryLength) {
  for (int length = 1; length <= 300; ++length) {
    for (const int colours : {1, 2, 7}) {
      IndexedImage image{length, 1, std::vector<gfx::Pixel>(static_cast<std::size_t>(colours))};
      for (int i = 0; i < length; ++i) image.indexes.push_back(static_cast<std::uint8_t>(i * i / 3 % colours));
      for (Compression compression : {Compression::gcLZW, Compression::gcRLE}) {
        const auto gif = encodeGif(image, compression);
        const auto read = readWithGiflib(gif);
        ASSERT_TRUE(read && read->indexes == image.indexes) << length << " pixels of " << colours;
        ASSERT_TRUE(codeWidthsOf(gif).endsCleanly) << length << " pixels of " << colours;
      }
    }
  }
}

TEST(GifCodec, PalettesTheirColoursAndExactOptimisedPalettes) {
  const struct {
    ColorReduction reduction;
    int bits;
    gfx::Image picture;
    std::size_t entries;
  } cases[] = {
      {ColorReduction::rmNetscape, 7, pictureOfPalette(netscapePalette()), 216},
      {ColorReduction::rmWindows20, 7, pictureOfPalette(windows20Palette()), 20},
      {ColorReduction::rmWindowsGray, 7, pictureOfPalette(windowsGrayPalette()), 4},
      {ColorReduction::rmWindows256, 7, pictureOfPalette(windowsHalftonePalette()), 256},
      {ColorReduction::rmGrayScale, 7, pictureOfPalette(grayPalette(128)), 128},
      {ColorReduction::rmGrayScale, 3, pictureOfPalette(grayPalette(8)), 8},
      {ColorReduction::rmMonochrome, 7, pictureOfPalette(monochromePalette()), 2},
      {ColorReduction::rmQuantize, 5, fewColours(16, false), 16},
      {ColorReduction::rmQuantize, 5, fewColours(16, true), 17},
      {ColorReduction::rmQuantize, 8, fewColours(9, true), 10},
      {ColorReduction::rmQuantizeWindows, 6, fewColours(16, true), 17},
      {ColorReduction::rmNone, 3, fewColours(16, false), 16},
      {ColorReduction::rmPalette, 3, fewColours(5, false), 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("reduction " + std::to_string(static_cast<int>(c.reduction)) + " at " + std::to_string(c.bits));
    const IndexedImage reduced = reduceColours(c.picture, {c.reduction, DitherMode::dmFloydSteinberg, c.bits});
    EXPECT_EQ(reduced.palette.size(), c.entries);
    EXPECT_EQ(renderIndexed(reduced).pixels(), c.picture.pixels());
  }
}

TEST(GifCodec, ReducedPalettesHoldWhatTheyPromise) {
  gfx::Image picture = gradientWithHole();
  const auto windows = windows20Palette();
  for (int x = 0; x < picture.width(); ++x) picture.at(x, 0) = windows[static_cast<std::size_t>(x) % windows.size()];
  auto reduced = [&](ColorReduction reduction, int bits) {
    return reduceColours(picture, {reduction, DitherMode::dmNearest, bits});
  };
  auto opaqueEntries = [](IndexedImage image) {
    image.palette.erase(image.palette.begin() + image.transparentIndex.value());
    std::sort(image.palette.begin(), image.palette.end());
    return image.palette;
  };
  EXPECT_EQ(opaqueEntries(reduced(ColorReduction::rmMonochrome, 7)),
            (std::vector<gfx::Pixel>{gfx::rgb(0, 0, 0), gfx::rgb(255, 255, 255)}));
  EXPECT_EQ(reduced(ColorReduction::rmQuantize, 4).palette.size(), 16u) << "the transparent entry counts";
  EXPECT_LE(opaqueEntries(reduced(ColorReduction::rmWindows256, 8)).size(), 255u);

  const IndexedImage withWindows = reduced(ColorReduction::rmQuantizeWindows, 6);
  EXPECT_LE(withWindows.palette.size(), 64u);
  const gfx::Image drawn = renderIndexed(withWindows);
  for (int x = 0; x < picture.width(); ++x) EXPECT_EQ(drawn.at(x, 0), picture.at(x, 0)) << "reserved colour " << x;
}

TEST(GifCodec, ErrorDiffusionSpreadsAFlatGreyNearestDoesNot) {
  const gfx::Image grey(64, 64, gfx::rgb(128, 128, 128));
  for (DitherMode mode :
       {DitherMode::dmFloydSteinberg, DitherMode::dmStucki, DitherMode::dmSierra, DitherMode::dmJaJuNI,
        DitherMode::dmSteveArche, DitherMode::dmBurkes, DitherMode::dmNearest}) {
    SCOPED_TRACE("dither " + std::to_string(static_cast<int>(mode)));
    const gfx::Image drawn = renderIndexed(reduceColours(grey, {ColorReduction::rmMonochrome, mode, 7}));
    const auto white = std::count(drawn.pixels().begin(), drawn.pixels().end(), gfx::rgb(255, 255, 255));
    const double share = static_cast<double>(white) / static_cast<double>(drawn.pixels().size());
    if (mode == DitherMode::dmNearest)
      EXPECT_TRUE(share == 0 || share == 1) << share;
    else
      EXPECT_NEAR(share, 0.5, 0.05);
  }
}

TEST(GifCodec, RefusesWhatCannotBeDrawnOrWritten) {
  EXPECT_EQ(reduceColours(gfx::Image(), {}).width, 0);
  gfx::Image torn(4, 4);
  torn.pixels().resize(3);
  EXPECT_EQ(reduceColours(torn, {}).width, 0);

  const gfx::Image small = gradientWithHole().cropped(30, 20, 0);
  for (int value : {-5, 0, 9, 1000})
    EXPECT_TRUE(isWellFormed(reduceColours(small, {static_cast<ColorReduction>(value), static_cast<DitherMode>(value),
                                                   value, static_cast<Compression>(value)})))
        << value;

  const IndexedImage good = reduceColours(small, {});
  ASSERT_TRUE(isWellFormed(good));
  auto spoilt = [&](auto change) {
    IndexedImage image = good;
    change(image);
    return image;
  };
  const IndexedImage bad[] = {
      {},
      spoilt([](IndexedImage& i) { i.indexes.pop_back(); }),
      spoilt([](IndexedImage& i) { i.indexes[7] = static_cast<std::uint8_t>(i.palette.size()); }),
      spoilt([](IndexedImage& i) { i.transparentIndex = static_cast<int>(i.palette.size()); }),
      spoilt([](IndexedImage& i) { i.transparentIndex = -1; }),
      spoilt([](IndexedImage& i) { i.palette.resize(257); }),
      spoilt([](IndexedImage& i) { i.palette.clear(); }),
      spoilt([](IndexedImage& i) { i.width = -i.width; }),
      spoilt([](IndexedImage& i) { i.width = 1 << 20, i.height = 1 << 20; }),
  };
  for (std::size_t i = 0; i < std::size(bad); ++i) {
    EXPECT_FALSE(isWellFormed(bad[i])) << i;
    EXPECT_TRUE(encodeGif(bad[i], Compression::gcLZW).empty()) << i;
    EXPECT_TRUE(renderIndexed(bad[i]).empty()) << i;
  }
  IndexedImage tooWide{70000, 1, {gfx::rgb(0, 0, 0)}, std::vector<std::uint8_t>(70000, 0)};
  EXPECT_TRUE(isWellFormed(tooWide));
  EXPECT_TRUE(encodeGif(tooWide, Compression::gcRLE).empty());
}

}  // namespace
}  // namespace delvix::codecs::gif
