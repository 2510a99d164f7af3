#include "formats/pe/resource_files.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "formats/le_bytes.h"

namespace delvix::formats::pe {

namespace {

constexpr std::array<std::uint8_t, 8> pngSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// The bitmap header sizes a picture may begin with: core, info, the two Adobe extensions, OS/2 2.x, V4, V5.
constexpr std::array<std::uint32_t, 7> bitmapHeaderSizes{12, 40, 52, 56, 64, 108, 124};
constexpr std::size_t bmpFileHeaderSize = 14;

bool isPng(Bytes image) {
  return image.size() >= pngSignature.size() && std::ranges::equal(image.first(8), pngSignature);
}

std::optional<std::uint32_t> bitmapHeaderSize(Bytes image) {
  if (image.size() < 4) return std::nullopt;
  const std::uint32_t size = le32(image, 0);
  if (std::ranges::find(bitmapHeaderSizes, size) == bitmapHeaderSizes.end() || size > image.size()) return std::nullopt;
  return size;
}

std::string rangeText(std::uint64_t offset, std::uint64_t size) {
  return "bytes " + std::to_string(offset) + " to " + std::to_string(offset + size);
}

// The bytes of the colour table (and the bit-field masks a 40-byte header leaves outside it) after a bitmap
// header of `headerSize` bytes.
std::uint64_t colourTableSize(Bytes bitmap, std::uint32_t headerSize) {
  if (headerSize == 12) {
    const std::uint16_t bitCount = le16(bitmap, 10);
    return bitCount <= 8 ? 3ULL << bitCount : 0;
  }
  const std::uint16_t bitCount = le16(bitmap, 14);
  const std::uint32_t compression = le32(bitmap, 16);
  const std::uint32_t used = le32(bitmap, 32);
  std::uint64_t masks = 0;
  if (headerSize == 40 && compression == 3) masks = 12;  // BI_BITFIELDS
  if (headerSize == 40 && compression == 6) masks = 16;  // BI_ALPHABITFIELDS
  const std::uint64_t entries = used != 0 ? used : (bitCount <= 8 ? 1ULL << bitCount : 0);
  return masks + 4 * entries;
}

}  // namespace

std::optional<IconFilePictures> readIconFilePictures(Bytes file, std::string& whyNot) {
  ByteReader reader(file);
  const auto reserved = reader.u16();
  const auto type = reader.u16();
  const auto count = reader.u16();
  if (!count || *reserved != 0 || (*type != 1 && *type != 2)) {
    whyNot = "it is no icon or cursor file (they begin with 00 00 01 00 or 00 00 02 00).";
    return std::nullopt;
  }
  if (*count == 0) {
    whyNot = "the file holds no pictures.";
    return std::nullopt;
  }
  IconFilePictures result;
  result.cursor = *type == 2;
  for (std::uint16_t n = 1; n <= *count; ++n) {
    const std::string entryName = "directory entry " + std::to_string(n) + " of " + std::to_string(*count);
    const auto entry = reader.bytes(16);
    if (!entry) {
      whyNot = "the file ends within its " + entryName + ".";
      return std::nullopt;
    }
    if (n == 1 && reader.remaining() < 16ULL * (*count - 1)) {
      whyNot = "the file ends within its directory of " + std::to_string(*count) + " entries.";
      return std::nullopt;
    }
    const std::uint32_t size = le32(*entry, 8);
    const std::uint32_t offset = le32(*entry, 12);
    if (size == 0 || !rangeFits(offset, size, file.size())) {
      whyNot = "the picture of " + entryName + " (" + rangeText(offset, size) + ") is not within the file (" +
               std::to_string(file.size()) + " bytes).";
      return std::nullopt;
    }
    FilePicture picture{le8(*entry, 0),
                        le8(*entry, 1),
                        le8(*entry, 2),
                        le8(*entry, 3),
                        le16(*entry, 4),
                        le16(*entry, 6),
                        file.subspan(offset, size)};
    if (!isPng(picture.image) && !bitmapHeaderSize(picture.image)) {
      whyNot = "the picture of " + entryName + " is neither a PNG image nor a bitmap.";
      return std::nullopt;
    }
    result.pictures.push_back(picture);
  }
  return result;
}

std::pair<std::uint16_t, std::uint16_t> planesAndBitCount(Bytes image) {
  const auto headerSize = bitmapHeaderSize(image);
  if (!headerSize) return {1, 32};
  if (*headerSize == 12) return {le16(image, 8), le16(image, 10)};
  return {le16(image, 12), le16(image, 14)};
}

std::optional<std::vector<std::uint8_t>> packedBitmapOfBmpFile(Bytes file, std::string& whyNot) {
  if (file.size() < 2 || file[0] != 'B' || file[1] != 'M') {
    whyNot = "it is no bitmap file (they begin with \"BM\").";
    return std::nullopt;
  }
  if (file.size() < bmpFileHeaderSize) {
    whyNot = "the bitmap file ends within its file header.";
    return std::nullopt;
  }
  const Bytes bitmap = file.subspan(bmpFileHeaderSize);
  const auto headerSize = bitmapHeaderSize(bitmap);
  if (!headerSize) {
    whyNot = "the bitmap's header is damaged or cut short (" + std::to_string(bitmap.size()) +
             " bytes after the file header).";
    return std::nullopt;
  }
  const std::uint32_t pixelsAt = le32(file, 10);
  const std::uint64_t tableEnd = bmpFileHeaderSize + *headerSize + colourTableSize(bitmap, *headerSize);
  if (pixelsAt >= file.size()) {
    whyNot = "the file header says the pixels begin at byte " + std::to_string(pixelsAt) + ", beyond the file's end (" +
             std::to_string(file.size()) + " bytes).";
    return std::nullopt;
  }
  // A resource holds the pixels right after the colour table; a V5 header may point at a profile after them,
  // from its own start, so its bytes keep their places.
  if (pixelsAt <= tableEnd || *headerSize == 124) return std::vector<std::uint8_t>(bitmap.begin(), bitmap.end());
  std::vector<std::uint8_t> packed(file.begin() + bmpFileHeaderSize,
                                   file.begin() + static_cast<std::ptrdiff_t>(tableEnd));
  packed.insert(packed.end(), file.begin() + pixelsAt, file.end());
  return packed;
}

bool isAnimatedCursorFile(Bytes file, std::string& whyNot) {
  const auto isCode = [&](std::uint64_t at, std::string_view code) {
    return std::equal(code.begin(), code.end(), file.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
  };
  if (file.size() < 12 || !isCode(0, "RIFF") || !isCode(8, "ACON")) {
    whyNot = "it is no animated cursor (they begin with \"RIFF\" and the form \"ACON\").";
    return false;
  }
  const std::uint64_t formEnd = std::min<std::uint64_t>(file.size(), 8ULL + le32(file, 4));
  for (std::uint64_t at = 12; at + 8 <= formEnd;) {
    const std::uint32_t size = le32(file, at + 4);
    if (isCode(at, "anih")) {
      if (size >= 36 && rangeFits(at + 8, size, formEnd)) return true;
      break;
    }
    at += 8ULL + size + (size & 1);
  }
  whyNot = "the animated cursor has no complete \"anih\" header.";
  return false;
}

}  // namespace delvix::formats::pe
