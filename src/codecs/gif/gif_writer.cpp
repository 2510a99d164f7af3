#include <algorithm>

#include "codecs/gif/gif_codec.h"
#include "codecs/gif/lzw_stream.h"

namespace delvix::codecs::gif {
namespace {

constexpr std::size_t maxSubBlock = 255;
constexpr int maxDimension = 0xFFFF;
constexpr std::uint8_t eightBitsAPrimary = 0x70;
constexpr std::uint8_t localTable = 0x80;

void putU16(std::vector<std::uint8_t>& out, int value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// The fewest bits (at least 1) that index every palette entry.
int tableBitsFor(std::size_t entries) {
  int bits = 1;
  while ((std::size_t{1} << bits) < entries) ++bits;
  return bits;
}

void putColourTable(std::vector<std::uint8_t>& out, const std::vector<gfx::Pixel>& palette, int bits) {
  for (std::size_t i = 0; i < (std::size_t{1} << bits); ++i) {
    const gfx::Pixel p = i < palette.size() ? palette[i] : 0;
    out.insert(out.end(), {gfx::red(p), gfx::green(p), gfx::blue(p)});
  }
}

constexpr std::uint8_t hasTransparentColour = 0x01;
constexpr std::uint8_t restoreToBackground = 2 << 2;

void putGraphicControl(std::vector<std::uint8_t>& out, int transparentIndex) {
  out.insert(out.end(),
             {0x21, 0xF9, 0x04, hasTransparentColour, 0x00, 0x00, static_cast<std::uint8_t>(transparentIndex), 0x00});
}

// A frame of an animation: shown for `delay` hundredths, then cleared to transparent before the next one.
void putFrameControl(std::vector<std::uint8_t>& out, const IndexedImage& image, int delay) {
  const std::uint8_t flags = restoreToBackground | (image.transparentIndex ? hasTransparentColour : 0);
  out.insert(out.end(), {0x21, 0xF9, 0x04, flags});
  putU16(out, std::clamp(delay, 0, 0xFFFF));
  out.push_back(static_cast<std::uint8_t>(image.transparentIndex.value_or(0)));
  out.push_back(0x00);
}

// The application extension that makes decoders play the frames again and again, without end.
void putLoopForever(std::vector<std::uint8_t>& out) {
  out.insert(out.end(),
             {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 0x03, 0x01, 0x00, 0x00, 0x00});
}

void putSubBlocks(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& data) {
  for (std::size_t at = 0; at < data.size(); at += maxSubBlock) {
    const std::size_t length = std::min(maxSubBlock, data.size() - at);
    out.push_back(static_cast<std::uint8_t>(length));
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
               data.begin() + static_cast<std::ptrdiff_t>(at + length));
  }
  out.push_back(0x00);
}

bool fitsGif(const IndexedImage& image) {
  return isWellFormed(image) && image.width <= maxDimension && image.height <= maxDimension;
}

void putScreen(std::vector<std::uint8_t>& out, int width, int height, std::uint8_t flags) {
  out.insert(out.end(), {'G', 'I', 'F', '8', '9', 'a'});
  putU16(out, width);
  putU16(out, height);
  out.push_back(flags);
  out.push_back(0x00);  // background colour
  out.push_back(0x00);  // pixel aspect ratio: not given
}

// The image descriptor at the screen's top-left corner, its local colour table when it has one, and the data.
void putImage(std::vector<std::uint8_t>& out, const IndexedImage& image, std::uint8_t flags, int tableBits,
              Compression compression) {
  out.push_back(0x2C);
  putU16(out, 0);
  putU16(out, 0);
  putU16(out, image.width);
  putU16(out, image.height);
  out.push_back(flags);
  if (flags & localTable) putColourTable(out, image.palette, tableBits);
  const int minCodeSize = std::max(2, tableBits);
  out.push_back(static_cast<std::uint8_t>(minCodeSize));
  putSubBlocks(out, lzwCodeStream(image.indexes, minCodeSize, compression == Compression::gcRLE));
}

}  // namespace

std::vector<std::uint8_t> encodeGif(const IndexedImage& image, Compression compression) {
  if (!fitsGif(image)) return {};
  const int tableBits = tableBitsFor(image.palette.size());
  std::vector<std::uint8_t> out;
  constexpr std::uint8_t globalTable = 0x80;
  putScreen(out, image.width, image.height,
            static_cast<std::uint8_t>(globalTable | eightBitsAPrimary | (tableBits - 1)));
  putColourTable(out, image.palette, tableBits);
  if (image.transparentIndex) putGraphicControl(out, *image.transparentIndex);
  putImage(out, image, 0x00, tableBits, compression);
  out.push_back(0x3B);
  return out;
}

std::vector<std::uint8_t> encodeAnimatedGif(std::span<const IndexedImage> pictures, std::span<const GifFrame> frames,
                                            Compression compression) {
  if (pictures.empty() || frames.empty()) return {};
  const int width = pictures.front().width;
  const int height = pictures.front().height;
  for (const IndexedImage& picture : pictures)
    if (!fitsGif(picture) || picture.width != width || picture.height != height) return {};
  for (const GifFrame& frame : frames)
    if (frame.picture >= pictures.size()) return {};

  std::vector<std::uint8_t> out;
  putScreen(out, width, height, eightBitsAPrimary);
  putLoopForever(out);
  for (const GifFrame& frame : frames) {
    const IndexedImage& picture = pictures[frame.picture];
    const int tableBits = tableBitsFor(picture.palette.size());
    putFrameControl(out, picture, frame.delay);
    putImage(out, picture, static_cast<std::uint8_t>(localTable | (tableBits - 1)), tableBits, compression);
  }
  out.push_back(0x3B);
  return out;
}

}  // namespace delvix::codecs::gif
