#include "codecs/bmp_encode.h"

#include <algorithm>

#include "codecs/bmp_palette.h"

namespace delvix::codecs {

namespace {

using gfx::Pixel;

constexpr std::size_t fileHeaderSize = 14;
constexpr std::size_t infoHeaderSize = 40;
constexpr std::int32_t pixelsPerMetre = 2835;  // 72 dots per inch

void putLe16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void putLe32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Pixel rows of 1, 4 or 8 bits: each pixel's palette entry, packed from the high bits of each byte.
void writeIndexedRows(const gfx::Image& image, int bitCount, std::span<const Pixel> palette, std::uint8_t* rows,
                      std::size_t stride) {
  PaletteMatcher matcher(palette);
  const int perByte = 8 / bitCount;
  for (int y = 0; y < image.height(); ++y) {
    std::uint8_t* row = rows + static_cast<std::size_t>(image.height() - 1 - y) * stride;
    const Pixel* pixel = &image.pixels()[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width())];
    for (int x = 0; x < image.width(); ++x) {
      const int shift = 8 - bitCount * (x % perByte + 1);
      row[x / perByte] |= static_cast<std::uint8_t>(matcher.indexOf(pixel[x]) << shift);
    }
  }
}

void writeDirectRows(const gfx::Image& image, int bitCount, std::uint8_t* rows, std::size_t stride) {
  const std::size_t bytesPerPixel = static_cast<std::size_t>(bitCount / 8);
  for (int y = 0; y < image.height(); ++y) {
    std::uint8_t* out = rows + static_cast<std::size_t>(image.height() - 1 - y) * stride;
    const Pixel* pixel = &image.pixels()[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width())];
    for (int x = 0; x < image.width(); ++x, out += bytesPerPixel) {
      const Pixel p = pixel[x];
      out[0] = gfx::blue(p);
      out[1] = gfx::green(p);
      out[2] = gfx::red(p);
      if (bytesPerPixel == 4)
        out[3] = gfx::withoutAlpha(p) == gfx::withoutAlpha(gfx::transparentKey) ? std::uint8_t{0} : std::uint8_t{255};
    }
  }
}

}  // namespace

int bmpBitCount(int bitCount) {
  return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 ? bitCount : 32;
}

std::optional<std::vector<std::uint8_t>> encodeBmp(const gfx::Image& image, int bitCount,
                                                   std::span<const Pixel> preferredColours) {
  if (image.empty()) return std::nullopt;
  bitCount = bmpBitCount(bitCount);
  const std::vector<Pixel> palette =
      bitCount <= 8 ? bmpPalette(image, bitCount, preferredColours) : std::vector<Pixel>{};
  const std::uint64_t paletteEntries = bitCount <= 8 ? std::uint64_t{1} << bitCount : 0;
  const std::uint64_t stride =
      (static_cast<std::uint64_t>(image.width()) * static_cast<std::uint64_t>(bitCount) + 31) / 32 * 4;
  const std::uint64_t rowsSize = stride * static_cast<std::uint64_t>(image.height());
  const std::uint64_t rowsAt = fileHeaderSize + infoHeaderSize + 4 * paletteEntries;
  const std::uint64_t fileSize = rowsAt + rowsSize;
  if (fileSize > 0xFFFFFFFFu) return std::nullopt;

  std::vector<std::uint8_t> file(static_cast<std::size_t>(fileSize), 0);
  file[0] = 'B';
  file[1] = 'M';
  putLe32(file, 2, static_cast<std::uint32_t>(fileSize));
  putLe32(file, 10, static_cast<std::uint32_t>(rowsAt));
  putLe32(file, 14, infoHeaderSize);
  putLe32(file, 18, static_cast<std::uint32_t>(image.width()));
  putLe32(file, 22, static_cast<std::uint32_t>(image.height()));
  putLe16(file, 26, 1);
  putLe16(file, 28, static_cast<std::uint16_t>(bitCount));
  putLe32(file, 34, static_cast<std::uint32_t>(rowsSize));
  putLe32(file, 38, pixelsPerMetre);
  putLe32(file, 42, pixelsPerMetre);
  for (std::size_t i = 0; i < palette.size() && i < paletteEntries; ++i) {
    const std::size_t at = fileHeaderSize + infoHeaderSize + 4 * i;
    file[at] = gfx::blue(palette[i]);
    file[at + 1] = gfx::green(palette[i]);
    file[at + 2] = gfx::red(palette[i]);
  }

  std::uint8_t* rows = file.data() + rowsAt;
  if (bitCount <= 8)
    writeIndexedRows(image, bitCount, palette, rows, static_cast<std::size_t>(stride));
  else
    writeDirectRows(image, bitCount, rows, static_cast<std::size_t>(stride));
  return file;
}

}  // namespace delvix::codecs
