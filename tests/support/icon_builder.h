#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// Builds icon and cursor files byte by byte for tests, so fixtures are readable in code.
namespace delvix::testing {

using ByteVector = std::vector<std::uint8_t>;

void appendLe16(ByteVector& out, std::uint16_t v);
void appendLe32(ByteVector& out, std::uint32_t v);

// A bitmap header of `size` bytes: a 12-byte core header, or the 40-byte fields followed, in longer headers,
// by the red, green, blue and alpha masks, the colour space 'sRGB' and the perceptual intent.
struct BitmapHeaderSpec {
  std::uint32_t size = 40;
  int width = 1;
  int height = 1;  // as stored
  int bitCount = 32;
  std::uint32_t compression = 0;
  std::uint32_t clrUsed = 0;
  std::array<std::uint32_t, 4> masks{};

  ByteVector bytes() const;
};

// One device-independent bitmap as stored in an icon: header, palette, colour rows, mask rows.
struct DibImage {
  std::uint32_t headerSize = 40;
  std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha, in headers longer than 40 bytes
  int width = 16;
  int height = 16;  // image height; the header stores twice this
  int bitCount = 32;
  std::uint32_t compression = 0;
  std::uint32_t clrUsed = 0;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB; padded with black to 2^bitCount entries
  ByteVector colourRows;               // bottom row first; zero-filled to full size when shorter
  ByteVector maskRows;                 // bottom row first; zero-filled to full size when shorter

  int colourStride() const { return (width * bitCount + 31) / 32 * 4; }
  int maskStride() const { return (width + 31) / 32 * 4; }
  ByteVector bytes() const;
};

// A PNG file of width x height with every pixel the given RGBA colour.
ByteVector solidPng(int width, int height, std::uint32_t rgba);

struct IconEntry {
  ByteVector record;
  // Directory fields; unset ones are derived from the record.
  std::optional<std::uint8_t> width, height, colourCount;
  std::uint16_t planes = 1;     // cursor: hot spot x
  std::uint16_t bitCount = 32;  // cursor: hot spot y
  std::optional<std::uint32_t> bytesInResource, imageOffset;
};

struct IconFile {
  std::uint16_t reserved = 0;
  std::uint16_t type = 1;
  std::optional<std::uint16_t> count;
  std::vector<IconEntry> entries;
  // Records are stored in this order (indexes into entries); directory order when empty.
  std::vector<std::size_t> storageOrder;
  // Bytes put between the directory and the first record.
  std::size_t gapAfterDirectory = 0;

  ByteVector bytes() const;
};

}  // namespace delvix::testing
