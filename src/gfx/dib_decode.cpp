#include "gfx/dib_decode.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "gfx/bitmap_header.h"

namespace delvix::gfx {

namespace {

constexpr std::uint32_t biRle8 = 1;
constexpr std::uint32_t biRle4 = 2;

std::uint8_t byteAt(ConstBytes b, std::size_t offset) { return offset < b.size() ? b[offset] : 0; }
std::uint16_t u16At(ConstBytes b, std::size_t offset) {
  return static_cast<std::uint16_t>(byteAt(b, offset) | (byteAt(b, offset + 1) << 8));
}
std::uint32_t u32At(ConstBytes b, std::size_t offset) {
  return std::uint32_t{u16At(b, offset)} | (std::uint32_t{u16At(b, offset + 2)} << 16);
}

// One colour channel described by a bit mask.
struct Channel {
  std::uint32_t mask = 0;

  explicit Channel(std::uint32_t m = 0) : mask(m) {}
  std::uint8_t value(std::uint32_t pixel) const { return maskedChannel(pixel, mask); }
};

struct Layout {
  int width = 0;
  int height = 0;  // absolute
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = biRgb;
  std::array<Channel, 3> channels;  // red, green, blue
  std::vector<Pixel> palette;
  std::size_t pixelOffset = 0;
};

std::optional<Layout> readLayout(ConstBytes dib, std::string& problem) {
  Layout layout;
  const std::uint32_t headerSize = u32At(dib, 0);
  std::size_t paletteEntries = 0;
  std::size_t entrySize = 4;
  std::uint32_t redMask = 0, greenMask = 0, blueMask = 0;
  std::size_t afterHeader = headerSize;
  if (headerSize == coreHeaderSize) {
    layout.width = u16At(dib, 4);
    layout.height = u16At(dib, 6);
    layout.bitCount = u16At(dib, 10);
    entrySize = 3;
    if (layout.bitCount <= 8) paletteEntries = std::size_t{1} << layout.bitCount;
  } else if (headerSize >= infoHeaderSize && headerSize <= 124) {
    layout.width = static_cast<std::int32_t>(u32At(dib, 4));
    const std::int32_t height = static_cast<std::int32_t>(u32At(dib, 8));
    if (height == INT32_MIN) {
      problem = "the bitmap height is out of range";
      return std::nullopt;
    }
    layout.topDown = height < 0;
    layout.height = std::abs(height);
    layout.bitCount = u16At(dib, 14);
    layout.compression = u32At(dib, 16);
    const std::uint32_t colorsUsed = u32At(dib, 32);
    if (layout.compression == biBitfields || layout.compression == biAlphaBitfields) {
      // A plain 40-byte header is followed by the masks; longer headers hold them.
      redMask = u32At(dib, 40);
      greenMask = u32At(dib, 44);
      blueMask = u32At(dib, 48);
      if (headerSize == infoHeaderSize) afterHeader += layout.compression == biAlphaBitfields ? 16 : 12;
    }
    if (colorsUsed > 0)
      paletteEntries = std::min<std::size_t>(colorsUsed, 65536);
    else if (layout.bitCount <= 8)
      paletteEntries = std::size_t{1} << layout.bitCount;
  } else {
    problem = "a bitmap header of " + std::to_string(headerSize) + " bytes is not known";
    return std::nullopt;
  }

  const int bits = layout.bitCount;
  const std::uint32_t compression = layout.compression;
  const bool valid =
      (compression == biRgb && (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32)) ||
      (compression == biRle8 && bits == 8 && !layout.topDown) ||
      (compression == biRle4 && bits == 4 && !layout.topDown) ||
      ((compression == biBitfields || compression == biAlphaBitfields) && (bits == 16 || bits == 32));
  if (!valid) {
    problem = std::to_string(bits) + " bits per pixel with compression " + std::to_string(compression) +
              " is not a bitmap format";
    return std::nullopt;
  }
  if (layout.width <= 0 || layout.height <= 0) {
    problem = "the bitmap is " + std::to_string(layout.width) + " x " + std::to_string(layout.height) + " pixels";
    return std::nullopt;
  }

  if (compression == biRgb && bits == 16) {
    redMask = 0x7C00;
    greenMask = 0x03E0;
    blueMask = 0x001F;
  } else if (compression == biRgb && bits == 32) {
    redMask = 0xFF0000;
    greenMask = 0x00FF00;
    blueMask = 0x0000FF;
  }
  layout.channels = {Channel(redMask), Channel(greenMask), Channel(blueMask)};

  std::size_t offset = afterHeader;
  const std::size_t used = bits <= 8 ? std::min<std::size_t>(paletteEntries, std::size_t{1} << bits) : 0;
  for (std::size_t i = 0; i < used; ++i, offset += entrySize)
    layout.palette.push_back(rgb(byteAt(dib, offset + 2), byteAt(dib, offset + 1), byteAt(dib, offset)));
  layout.palette.resize(bits <= 8 ? std::size_t{1} << bits : 0, rgb(0, 0, 0));
  layout.pixelOffset = afterHeader + paletteEntries * entrySize;
  return layout;
}

void decodeUncompressed(ConstBytes dib, const Layout& layout, Image& image) {
  const std::size_t stride = static_cast<std::size_t>(colourRowStride(layout.width, layout.bitCount));
  const ConstBytes rows = layout.pixelOffset < dib.size() ? dib.subspan(layout.pixelOffset) : ConstBytes{};
  for (int row = 0; row < layout.height; ++row) {
    const int y = layout.topDown ? row : layout.height - 1 - row;
    const std::size_t start = static_cast<std::size_t>(row) * stride;
    if (start >= rows.size()) break;
    for (int x = 0; x < layout.width; ++x) {
      Pixel pixel = rgb(0, 0, 0);
      const std::size_t ux = static_cast<std::size_t>(x);
      switch (layout.bitCount) {
        case 1:
        case 4:
        case 8: {
          const std::size_t bit = ux * static_cast<std::size_t>(layout.bitCount);
          const int shift = 8 - layout.bitCount - static_cast<int>(bit % 8);
          pixel = layout.palette[(byteAt(rows, start + bit / 8) >> shift) & ((1u << layout.bitCount) - 1)];
          break;
        }
        case 24: {
          const std::size_t at = start + ux * 3;
          pixel = rgb(byteAt(rows, at + 2), byteAt(rows, at + 1), byteAt(rows, at));
          break;
        }
        default: {
          const std::uint32_t value = layout.bitCount == 16 ? u16At(rows, start + ux * 2) : u32At(rows, start + ux * 4);
          pixel =
              rgb(layout.channels[0].value(value), layout.channels[1].value(value), layout.channels[2].value(value));
          break;
        }
      }
      image.at(x, y) = pixel;
    }
  }
}

// Run-length encoded rows, bottom row first: (count, colour) runs, and escapes 0 = end of line,
// 1 = end of bitmap, 2 = move by (dx, dy), n >= 3 = n literal pixels padded to a 16-bit boundary.
void decodeRunLength(ConstBytes dib, const Layout& layout, Image& image) {
  const bool fourBit = layout.compression == biRle4;
  std::size_t at = layout.pixelOffset;
  long long x = 0, row = 0;
  auto put = [&](unsigned index) {
    if (x < layout.width && row < layout.height)
      image.at(static_cast<int>(x), layout.height - 1 - static_cast<int>(row)) = layout.palette[index];
    ++x;
  };
  while (at + 1 < dib.size() && row < layout.height) {
    const unsigned count = dib[at];
    const unsigned value = dib[at + 1];
    at += 2;
    if (count > 0) {
      for (unsigned i = 0; i < count && x < layout.width; ++i)
        put(fourBit ? (i % 2 == 0 ? value >> 4 : value & 0xF) : value);
      continue;
    }
    if (value == 0) {
      x = 0;
      ++row;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (at + 1 >= dib.size()) break;
      x += dib[at];
      row += dib[at + 1];
      at += 2;
    } else {
      const std::size_t bytes = fourBit ? (value + 1) / 2 : value;
      for (unsigned i = 0; i < value; ++i) {
        const std::uint8_t byte = byteAt(dib, at + (fourBit ? i / 2 : i));
        put(fourBit ? (i % 2 == 0 ? byte >> 4 : byte & 0xF) : byte);
      }
      at += bytes + (bytes % 2);
    }
  }
}

}  // namespace

DibDecodeResult decodePackedDib(ConstBytes dib, std::size_t maxPixels) {
  DibDecodeResult result;
  if (dib.size() < coreHeaderSize) {
    result.problem = "the bitmap holds only " + std::to_string(dib.size()) + " bytes";
    return result;
  }
  auto layout = readLayout(dib, result.problem);
  if (!layout) return result;
  const std::uint64_t pixels = std::uint64_t(layout->width) * std::uint64_t(layout->height);
  if (pixels > maxPixels) {
    result.problem = "the bitmap of " + std::to_string(layout->width) + " x " + std::to_string(layout->height) +
                     " pixels is larger than its data allows";
    return result;
  }
  Image image(layout->width, layout->height, rgb(0, 0, 0));
  if (layout->compression == biRle8 || layout->compression == biRle4)
    decodeRunLength(dib, *layout, image);
  else
    decodeUncompressed(dib, *layout, image);
  result.image = std::move(image);
  return result;
}

}  // namespace delvix::gfx
