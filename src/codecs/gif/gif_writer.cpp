#include <algorithm>

#include "codecs/gif/gif_codec.h"
#include "codecs/gif/lzw_stream.h"

namespace delvix::codecs::gif {
namespace {

constexpr std::size_t maxSubBlock = 255;
constexpr int maxDimension = 0xFFFF;

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

void putGraphicControl(std::vector<std::uint8_t>& out, int transparentIndex) {
  constexpr std::uint8_t hasTransparentColour = 0x01;
  out.insert(out.end(),
             {0x21, 0xF9, 0x04, hasTransparentColour, 0x00, 0x00, static_cast<std::uint8_t>(transparentIndex), 0x00});
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

}  // namespace

std::vector<std::uint8_t> encodeGif(const IndexedImage& image, Compression compression) {
  if (!isWellFormed(image) || image.width > maxDimension || image.height > maxDimension) return {};
  const int tableBits = tableBitsFor(image.palette.size());
  const int minCodeSize = std::max(2, tableBits);

  std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  putU16(out, image.width);
  putU16(out, image.height);
  constexpr std::uint8_t globalTable = 0x80;
  constexpr std::uint8_t eightBitsAPrimary = 0x70;
  out.push_back(static_cast<std::uint8_t>(globalTable | eightBitsAPrimary | (tableBits - 1)));
  out.push_back(0x00);  // background colour
  out.push_back(0x00);  // pixel aspect ratio: not given
  putColourTable(out, image.palette, tableBits);
  if (image.transparentIndex) putGraphicControl(out, *image.transparentIndex);

  out.push_back(0x2C);
  putU16(out, 0);
  putU16(out, 0);
  putU16(out, image.width);
  putU16(out, image.height);
  out.push_back(0x00);  // no local table, not interlaced
  out.push_back(static_cast<std::uint8_t>(minCodeSize));
  putSubBlocks(out, lzwCodeStream(image.indexes, minCodeSize, compression == Compression::gcRLE));
  out.push_back(0x3B);
  return out;
}

}  // namespace delvix::codecs::gif
