#include "convert/windows_cursor_bytes.h"

#include <algorithm>

#include "formats/riff/riff_writer.h"

namespace delvix::convert {

namespace {

using formats::riff::fourccFromString;
using formats::riff::RiffWriter;

constexpr std::uint32_t bitmapInfoHeaderSize = 40;
constexpr std::uint16_t cursorType = 2;
constexpr std::uint32_t iconFramesFlag = 1;
constexpr std::uint32_t sequenceFlag = 2;

void u8(RiffWriter& writer, std::uint8_t value) { writer.bytes(std::span(&value, 1)); }

std::uint32_t maskStride(int width) { return static_cast<std::uint32_t>((width + 31) / 32 * 4); }

std::uint32_t imageRecordSize(const gfx::Image& image) {
  const auto height = static_cast<std::uint32_t>(image.height());
  return bitmapInfoHeaderSize + 4u * static_cast<std::uint32_t>(image.width()) * height +
         maskStride(image.width()) * height;
}

void writeImageRecord(RiffWriter& writer, const gfx::Image& image) {
  const int width = image.width();
  const int height = image.height();
  writer.u32(bitmapInfoHeaderSize);
  writer.u32(static_cast<std::uint32_t>(width));
  writer.u32(static_cast<std::uint32_t>(height) * 2);  // colour rows and mask rows
  writer.u16(1);
  writer.u16(32);
  writer.u32(0);  // uncompressed
  writer.u32(imageRecordSize(image) - bitmapInfoHeaderSize);
  for (int i = 0; i < 4; ++i) writer.u32(0);
  for (int y = height - 1; y >= 0; --y)
    for (int x = 0; x < width; ++x) {
      const gfx::Pixel p = image.at(x, y);
      writer.u32(gfx::alpha(p) == 0 ? 0 : p);
    }
  std::vector<std::uint8_t> row(maskStride(width));
  for (int y = height - 1; y >= 0; --y) {
    std::ranges::fill(row, 0);
    for (int x = 0; x < width; ++x)
      if (gfx::alpha(image.at(x, y)) == 0)
        row[static_cast<std::size_t>(x) / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    writer.bytes(row);
  }
}

bool showsFramesInOrder(const AnimatedCursorParts& parts) {
  if (parts.sequence.size() != parts.frames.size()) return false;
  for (std::size_t i = 0; i < parts.sequence.size(); ++i)
    if (parts.sequence[i] != i) return false;
  return true;
}

}  // namespace

std::vector<std::uint8_t> cursorFileBytes(std::span<const CursorPicture> pictures) {
  RiffWriter writer;  // no chunks: a plain little-endian byte writer
  writer.u16(0);
  writer.u16(cursorType);
  writer.u16(static_cast<std::uint16_t>(pictures.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(pictures.size());
  for (const CursorPicture& picture : pictures) {
    // 256 is stored as 0.
    u8(writer, static_cast<std::uint8_t>(picture.image.width()));
    u8(writer, static_cast<std::uint8_t>(picture.image.height()));
    u8(writer, 0);
    u8(writer, 0);
    writer.u16(picture.xHot);
    writer.u16(picture.yHot);
    const std::uint32_t size = imageRecordSize(picture.image);
    writer.u32(size);
    writer.u32(offset);
    offset += size;
  }
  for (const CursorPicture& picture : pictures) writeImageRecord(writer, picture.image);
  return writer.finish();
}

std::vector<std::uint8_t> animatedCursorBytes(const AnimatedCursorParts& parts) {
  const bool inOrder = showsFramesInOrder(parts);
  const bool oneRate = std::ranges::adjacent_find(parts.rates, std::ranges::not_equal_to{}) == parts.rates.end();
  RiffWriter writer;
  writer.open(fourccFromString("RIFF"), fourccFromString("ACON"));
  writer.open(fourccFromString("anih"));
  writer.u32(36);
  writer.u32(static_cast<std::uint32_t>(parts.frames.size()));
  writer.u32(static_cast<std::uint32_t>(parts.sequence.size()));
  writer.u32(parts.width);
  writer.u32(parts.height);
  writer.u32(32);
  writer.u32(1);
  writer.u32(parts.rates.empty() ? 1 : parts.rates.front());
  writer.u32(iconFramesFlag | (inOrder ? 0 : sequenceFlag));
  writer.close();
  if (!parts.info.empty()) {
    writer.open(fourccFromString("LIST"), fourccFromString("INFO"));
    for (const InfoItem& item : parts.info) {
      std::vector<std::uint8_t> text(item.text.begin(), item.text.end());
      text.push_back(0);
      writer.chunk(fourccFromString(item.id), text);
    }
    writer.close();
  }
  if (!oneRate) {
    writer.open(fourccFromString("rate"));
    for (std::uint32_t rate : parts.rates) writer.u32(rate);
    writer.close();
  }
  if (!inOrder) {
    writer.open(fourccFromString("seq "));
    for (std::uint32_t frame : parts.sequence) writer.u32(frame);
    writer.close();
  }
  writer.open(fourccFromString("LIST"), fourccFromString("fram"));
  for (const auto& frame : parts.frames) writer.chunk(fourccFromString("icon"), frame);
  return writer.finish();
}

}  // namespace delvix::convert
