#include "gfx/bitmap_header.h"

#include <bit>

namespace delvix::gfx {

namespace {

std::uint32_t u32At(std::span<const std::uint8_t> b, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    if (offset + i < b.size()) value |= std::uint32_t{b[offset + i]} << (8 * i);
  return value;
}

std::uint16_t u16At(std::span<const std::uint8_t> b, std::size_t offset) {
  return static_cast<std::uint16_t>(u32At(b, offset) & 0xFFFF);
}

}  // namespace

bool isLongHeaderSize(std::uint32_t size) { return size == 52 || size == 56 || size == 108 || size == 124; }

BitmapHeader BitmapHeader::parse(std::span<const std::uint8_t> block) {
  BitmapHeader header;
  header.size = static_cast<std::uint32_t>(block.size());
  if (block.size() == coreHeaderSize) {
    header.width = u16At(block, 4);
    header.height = u16At(block, 6);
    header.bitCount = u16At(block, 10);
    return header;
  }
  header.width = static_cast<std::int32_t>(u32At(block, 4));
  header.height = static_cast<std::int32_t>(u32At(block, 8));
  header.bitCount = u16At(block, 14);
  header.compression = u32At(block, 16);
  const bool bitfields = header.compression == biBitfields || header.compression == biAlphaBitfields;
  if (bitfields && block.size() >= 52)
    header.masks = ChannelMasks{u32At(block, 40), u32At(block, 44), u32At(block, 48), u32At(block, 52)};
  return header;
}

bool drawableRows(const BitmapHeader& header) {
  if (header.size == coreHeaderSize) return false;
  if (header.compression == biRgb) return true;
  return header.masks && (header.bitCount == 16 || header.bitCount == 32);
}

std::string undrawableReason(const BitmapHeader& header) {
  const std::string bits = std::to_string(header.bitCount) + " bits per pixel";
  if (header.compression == biBitfields || header.compression == biAlphaBitfields) {
    if (header.bitCount != 16 && header.bitCount != 32) return "bit fields at " + bits + " are not a bitmap format";
    if (!header.masks) return "the colour masks of its bit fields follow a 40-byte header and are not drawn";
  }
  return "compression " + std::to_string(header.compression) + " at " + bits + " is not drawn";
}

std::uint8_t maskedChannel(std::uint32_t pixel, std::uint32_t mask) {
  if (!mask) return 0;
  const int shift = std::countr_zero(mask);
  const int bits = std::bit_width(mask >> shift);
  std::uint32_t value = (pixel & mask) >> shift;
  if (bits >= 8) return static_cast<std::uint8_t>(value >> (bits - 8));
  std::uint32_t widened = 0;
  int filled = 0;
  for (; filled < 8; filled += bits) widened = (widened << bits) | value;
  return static_cast<std::uint8_t>(widened >> (filled - 8));
}

}  // namespace delvix::gfx
