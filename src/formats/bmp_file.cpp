#include "formats/bmp_file.h"

#include <algorithm>

#include "formats/le_bytes.h"

namespace delvix::formats {

namespace {

constexpr std::size_t fileHeaderSize = 14;
constexpr std::size_t coreHeaderSize = 12;
constexpr std::uint32_t bitFields = 3;

// Bytes between the start of the bitmap header and its pixels.
std::optional<std::uint64_t> pixelOffset(Bytes packed) {
  if (packed.size() < 4) return std::nullopt;
  const std::uint32_t headerSize = le32(packed, 0);
  if (headerSize == coreHeaderSize) {
    if (packed.size() < coreHeaderSize) return std::nullopt;
    const unsigned bits = le16(packed, 10);
    return coreHeaderSize + (bits <= 8 ? 3ull << bits : 0);
  }
  if (headerSize < 40 || headerSize > packed.size()) return std::nullopt;
  const unsigned bits = le16(packed, 14);
  const std::uint32_t compression = le32(packed, 16);
  const std::uint32_t used = le32(packed, 32);
  std::uint64_t entries = used != 0 ? used : (bits <= 8 ? 1ull << bits : 0);
  std::uint64_t masks = headerSize == 40 && compression == bitFields ? 12 : 0;
  return headerSize + masks + 4 * std::min<std::uint64_t>(entries, 1u << 16);
}

void putLe32(std::vector<std::uint8_t>& out, std::size_t at, std::uint64_t value) {
  setLe32(out, at, static_cast<std::uint32_t>(value));
}

}  // namespace

std::optional<std::vector<std::uint8_t>> bmpFileFromPackedBitmap(Bytes packed) {
  auto offset = pixelOffset(packed);
  if (!offset || packed.size() > 0xFFFFFFFFu - fileHeaderSize) return std::nullopt;
  std::vector<std::uint8_t> file(fileHeaderSize, 0);
  file[0] = 'B';
  file[1] = 'M';
  putLe32(file, 2, fileHeaderSize + packed.size());
  putLe32(file, 10, fileHeaderSize + std::min<std::uint64_t>(*offset, packed.size()));
  file.insert(file.end(), packed.begin(), packed.end());
  return file;
}

}  // namespace delvix::formats
