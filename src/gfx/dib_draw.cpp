#include "gfx/dib_draw.h"

#include <algorithm>
#include <vector>

namespace delvix::gfx {

namespace {

std::uint8_t byteAt(ConstBytes bytes, std::size_t offset) { return offset < bytes.size() ? bytes[offset] : 0; }

std::uint32_t le32At(ConstBytes bytes, std::size_t offset) {
  return std::uint32_t{byteAt(bytes, offset)} | (std::uint32_t{byteAt(bytes, offset + 1)} << 8) |
         (std::uint32_t{byteAt(bytes, offset + 2)} << 16) | (std::uint32_t{byteAt(bytes, offset + 3)} << 24);
}

// Offset of the first byte of the row that shows at `y` (rows are stored bottom row first).
std::size_t rowOffset(int height, int stride, int y) {
  return static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(stride);
}

// Nearest-neighbour mapping of a target coordinate to a source coordinate.
int sourceCoordinate(int target, int targetSize, int sourceSize) {
  return static_cast<int>(static_cast<std::int64_t>(target) * sourceSize / targetSize);
}

// The source column of each of the first `width` target columns, worked out once per picture rather
// than with a division per pixel.
std::vector<int> sourceColumns(int width, int targetWidth, int sourceWidth) {
  std::vector<int> columns(static_cast<std::size_t>(std::max(width, 0)));
  for (int tx = 0; tx < width; ++tx)
    columns[static_cast<std::size_t>(tx)] = sourceCoordinate(tx, targetWidth, sourceWidth);
  return columns;
}

template <typename Paint>
void forEachTargetPixel(Image& target, int targetWidth, int targetHeight, const DrawingHeader& header, Paint paint) {
  if (header.width <= 0 || header.height <= 0 || targetWidth <= 0 || targetHeight <= 0) return;
  int width = std::min(targetWidth, target.width());
  int height = std::min(targetHeight, target.height());
  const std::vector<int> columns = sourceColumns(width, targetWidth, header.width);
  for (int ty = 0; ty < height; ++ty) {
    int sy = sourceCoordinate(ty, targetHeight, header.height);
    for (int tx = 0; tx < width; ++tx) paint(target.at(tx, ty), columns[static_cast<std::size_t>(tx)], sy);
  }
}

// The bits of one mask row from its first byte on; bytes missing from the rows read as 0.
void decodeMaskRow(ConstBytes rows, std::size_t start, std::span<std::uint8_t> bits) {
  const std::size_t bytes = (bits.size() + 7) / 8;
  if (start <= rows.size() && bytes <= rows.size() - start) {
    const std::uint8_t* p = rows.data() + start;
    std::size_t x = 0;
    for (; x + 8 <= bits.size(); x += 8, ++p)
      for (unsigned k = 0; k < 8; ++k) bits[x + k] = (*p >> (7 - k)) & 1;
    for (unsigned k = 0; x < bits.size(); ++x, ++k) bits[x] = (*p >> (7 - k)) & 1;
    return;
  }
  for (std::size_t x = 0; x < bits.size(); ++x) bits[x] = (byteAt(rows, start + (x >> 3)) >> (7 - (x & 7))) & 1;
}

}  // namespace

int colourRowStride(int width, int bitCount) {
  return static_cast<int>((static_cast<std::int64_t>(width) * bitCount + 31) / 32 * 4);
}

int maskRowStride(int width) { return colourRowStride(width, 1); }

DrawingHeader DrawingHeader::fromBitmapInfo(ConstBytes bitmapInfo, ConstBytes colourEntries, bool halveHeight) {
  DrawingHeader header;
  const BitmapHeader parsed = BitmapHeader::parse(bitmapInfo);
  header.width = parsed.width;
  header.height = halveHeight ? parsed.height / 2 : parsed.height;
  header.bitCount = parsed.bitCount;
  header.masks = parsed.masks;
  for (std::size_t i = 0; i + 4 <= colourEntries.size(); i += 4)
    header.palette.push_back(rgb(colourEntries[i + 2], colourEntries[i + 1], colourEntries[i]));
  return header;
}

int DrawingHeader::rowStride() const { return colourRowStride(width, bitCount); }

Pixel DrawingHeader::pixel(ConstBytes rows, int x, int y) const {
  std::size_t row = rowOffset(height, rowStride(), y);
  if (masks && (bitCount == 16 || bitCount == 32)) {
    const std::size_t at = row + static_cast<std::size_t>(x) * static_cast<std::size_t>(bitCount / 8);
    const std::uint32_t v = bitCount == 16 ? le32At(rows, at) & 0xFFFF : le32At(rows, at);
    return rgb(maskedChannel(v, masks->red), maskedChannel(v, masks->green), maskedChannel(v, masks->blue));
  }
  auto fromPalette = [&](std::size_t index) { return index < palette.size() ? palette[index] : rgb(0, 0, 0); };
  switch (bitCount) {
    case 1:
    case 2:
    case 4:
    case 8: {
      std::size_t bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bitCount);
      std::uint8_t byte = byteAt(rows, row + bit / 8);
      int shift = 8 - bitCount - static_cast<int>(bit % 8);
      return fromPalette((byte >> shift) & ((1u << bitCount) - 1));
    }
    case 16: {
      std::size_t at = row + static_cast<std::size_t>(x) * 2;
      unsigned v = byteAt(rows, at) | (byteAt(rows, at + 1) << 8);
      auto expand = [](unsigned five) { return static_cast<std::uint8_t>((five << 3) | (five >> 2)); };
      return rgb(expand((v >> 10) & 31), expand((v >> 5) & 31), expand(v & 31));
    }
    case 24: {
      std::size_t at = row + static_cast<std::size_t>(x) * 3;
      return rgb(byteAt(rows, at + 2), byteAt(rows, at + 1), byteAt(rows, at));
    }
    case 32: {
      std::size_t at = row + static_cast<std::size_t>(x) * 4;
      return rgb(byteAt(rows, at + 2), byteAt(rows, at + 1), byteAt(rows, at));
    }
    default: return rgb(0, 0, 0);
  }
}

void DrawingHeader::decodeRow(ConstBytes rows, int y, std::span<Pixel> out) const {
  const std::size_t start = rowOffset(height, rowStride(), y);
  const std::size_t needed = (out.size() * static_cast<std::size_t>(bitCount) + 7) / 8;
  if (start > rows.size() || needed > rows.size() - start || bitCount == 16 || bitCount > 32 || masks) {
    for (std::size_t x = 0; x < out.size(); ++x) out[x] = pixel(rows, static_cast<int>(x), y);
    return;
  }
  const std::uint8_t* p = rows.data() + start;
  switch (bitCount) {
    case 32:
      for (std::size_t x = 0; x < out.size(); ++x, p += 4) out[x] = rgb(p[2], p[1], p[0]);
      break;
    case 24:
      for (std::size_t x = 0; x < out.size(); ++x, p += 3) out[x] = rgb(p[2], p[1], p[0]);
      break;
    case 8:
      for (std::size_t x = 0; x < out.size(); ++x) out[x] = p[x] < palette.size() ? palette[p[x]] : rgb(0, 0, 0);
      break;
    case 1:
    case 2:
    case 4: {
      const auto bits = static_cast<std::size_t>(bitCount);
      const unsigned valueMask = (1u << bits) - 1;
      for (std::size_t x = 0, bit = 0; x < out.size(); ++x, bit += bits) {
        const unsigned index = (p[bit >> 3] >> (8 - bits - (bit & 7))) & valueMask;
        out[x] = index < palette.size() ? palette[index] : rgb(0, 0, 0);
      }
      break;
    }
    default:
      for (std::size_t x = 0; x < out.size(); ++x) out[x] = rgb(0, 0, 0);
  }
}

std::uint8_t DrawingHeader::pixelAlpha(ConstBytes rows, int x, int y) const {
  if (bitCount != 32) return 255;
  const std::size_t at = rowOffset(height, rowStride(), y) + static_cast<std::size_t>(x) * 4;
  if (masks) return masks->alpha ? maskedChannel(le32At(rows, at), masks->alpha) : 255;
  return byteAt(rows, at + 3);
}

Image prepareCanvas(int width, int height) { return Image(std::max(width, 0), std::max(height, 0), transparentKey); }

void drawMaskedImage(Image& target, int targetWidth, int targetHeight, ConstBytes maskRows, ConstBytes colourRows,
                     const DrawingHeader& header) {
  if (header.width <= 0 || header.height <= 0 || targetWidth <= 0 || targetHeight <= 0) return;
  const int width = std::min(targetWidth, target.width());
  const int height = std::min(targetHeight, target.height());
  if (width <= 0 || height <= 0) return;
  // Each source row that shows is decoded once, and only as far as the target reaches.
  const std::vector<int> sourceColumn = sourceColumns(width, targetWidth, header.width);
  const int columns = sourceColumn.back() + 1;
  std::vector<Pixel> colours(static_cast<std::size_t>(columns));
  std::vector<std::uint8_t> maskBits(static_cast<std::size_t>(columns));
  const int maskStride = maskRowStride(header.width);
  int decodedRow = -1;
  for (int ty = 0; ty < height; ++ty) {
    const int sy = sourceCoordinate(ty, targetHeight, header.height);
    if (sy != decodedRow) {
      header.decodeRow(colourRows, sy, colours);
      decodeMaskRow(maskRows, rowOffset(header.height, maskStride, sy), maskBits);
      decodedRow = sy;
    }
    // Mask bit 1 keeps the whole target pixel, 0 keeps only its alpha.
    auto keptBits = [&](std::size_t sx) { return (0u - maskBits[sx]) | 0xFF000000u; };
    Pixel* row = &target.at(0, ty);
    if (targetWidth == header.width) {
      for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x)
        row[x] = (row[x] & keptBits(x)) ^ withoutAlpha(colours[x]);
      continue;
    }
    for (int tx = 0; tx < width; ++tx) {
      const auto sx = static_cast<std::size_t>(sourceColumn[static_cast<std::size_t>(tx)]);
      row[tx] = (row[tx] & keptBits(sx)) ^ withoutAlpha(colours[sx]);
    }
  }
}

Pixel blendOver(Pixel target, Pixel source) {
  const unsigned a = alpha(source);
  auto mix = [a](unsigned s, unsigned d) { return static_cast<std::uint8_t>((s * a + d * (255 - a) + 127) / 255); };
  return rgb(mix(red(source), red(target)), mix(green(source), green(target)), mix(blue(source), blue(target)),
             mix(255, alpha(target)));
}

void drawWithAlpha(Image& target, int targetWidth, int targetHeight, ConstBytes colourRows,
                   const DrawingHeader& header) {
  forEachTargetPixel(target, targetWidth, targetHeight, header, [&](Pixel& out, int sx, int sy) {
    const Pixel colour = header.pixel(colourRows, sx, sy);
    out = blendOver(out, withoutAlpha(colour) | (Pixel{header.pixelAlpha(colourRows, sx, sy)} << 24));
  });
}

void copyInto(Image& target, const Image& source) {
  int width = std::min(target.width(), source.width());
  int height = std::min(target.height(), source.height());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) target.at(x, y) = source.at(x, y);
}

}  // namespace delvix::gfx
