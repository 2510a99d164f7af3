#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace delvix::gfx {

inline constexpr std::size_t coreHeaderSize = 12;
inline constexpr std::size_t infoHeaderSize = 40;
inline constexpr std::size_t v4HeaderSize = 108;
inline constexpr std::size_t v5HeaderSize = 124;

inline constexpr std::uint32_t biRgb = 0;
inline constexpr std::uint32_t biBitfields = 3;
inline constexpr std::uint32_t biAlphaBitfields = 6;

// The headers that hold more than the 40-byte fields: with colour masks (52), with an alpha mask too (56),
// with a colour space (108) and with a rendering intent and a colour profile (124).
bool isLongHeaderSize(std::uint32_t size);

struct ChannelMasks {
  std::uint32_t red = 0, green = 0, blue = 0, alpha = 0;
};

// The fields of a bitmap header that drawing needs. The block's length, which the reader settled, tells the
// layout: 12 bytes a core header, 40 bytes or more the longer kinds (masks from 52 bytes on); fields past the
// end of the block read as 0.
struct BitmapHeader {
  std::uint32_t size = 0;  // the block's length
  int width = 0;
  int height = 0;  // as stored: negative for top-down rows, doubled for images with a mask
  int bitCount = 0;
  std::uint32_t compression = biRgb;
  // Bit-field compression with the masks held inside a long header.
  std::optional<ChannelMasks> masks;

  static BitmapHeader parse(std::span<const std::uint8_t> block);
};

// Whether the stored rows can be drawn as they are: uncompressed, or bit fields at 16 or 32 bits per pixel
// whose masks the header holds.
bool drawableRows(const BitmapHeader& header);

// Why the rows of `header` cannot be drawn, for the message log.
std::string undrawableReason(const BitmapHeader& header);

// The channel `mask` picks out of `pixel`, widened to 8 bits by repeating its bits (5 bits 10110 become
// 10110101); 0 for an empty mask.
std::uint8_t maskedChannel(std::uint32_t pixel, std::uint32_t mask);

}  // namespace delvix::gfx
