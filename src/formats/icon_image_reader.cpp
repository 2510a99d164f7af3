#include "formats/icon_image_reader.h"

#include <algorithm>
#include <array>

#include "codecs/png_decode.h"
#include "codecs/png_top_rows.h"
#include "formats/le_bytes.h"
#include "gfx/bitmap_header.h"
#include "gfx/dib_draw.h"

namespace delvix::formats {

namespace {

using model::Block;
using model::Node;

Block headedRows(std::uint16_t bitCount, std::uint16_t stride, std::uint32_t size) {
  Block block(8 + std::size_t{size}, 0);
  setLe16(block, 0, bitCount);
  setLe16(block, 2, stride);
  setLe32(block, 4, size);
  return block;
}

bool supportedBitCount(int bits, bool longHeader) {
  return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 24 || bits == 32 || (longHeader && bits == 16);
}

// The length of the image's bitmap header: the size it gives when that is one of the longer kinds, else the
// 40 bytes every image is read with.
std::size_t headerLength(Bytes record) {
  const std::uint32_t declared = record.size() >= 4 ? le32(record, 0) : 0;
  return gfx::isLongHeaderSize(declared) ? declared : bitmapInfoSize;
}

IconImageResult readPngImage(const IconImageRequest& request, Node& picture, Reporter& reporter) {
  IconImageResult result;
  std::size_t length = std::min(request.declaredSize, request.record.size());
  if (length < request.declaredSize)
    reporter.log(request.pictureName + ": the PNG data is cut short: " + std::to_string(length) + " of " +
                 std::to_string(request.declaredSize) + " bytes.");
  Bytes png = request.record.first(length);
  result.bytesNeeded = request.declaredSize;

  Block block(4 + png.size());
  setLe32(block, 0, static_cast<std::uint32_t>(png.size()));
  std::copy(png.begin(), png.end(), block.begin() + 4);
  picture.addChild("png_data", std::move(block), model::state::none);

  auto info = codecs::readPngInfo(png);
  // Only whether it decodes is asked here: the thumbnail list draws the picture when it shows its row.
  auto shown = info ? codecs::decodePngTopLeft(png, 1, 1) : std::nullopt;
  if (!shown) {
    const bool tooLarge = info && (info->width > codecs::largestPngSide || info->height > codecs::largestPngSide);
    const std::string largest = std::to_string(codecs::largestPngSide);
    reporter.log(request.pictureName + (tooLarge ? ": the PNG image is " + std::to_string(info->width) + " x " +
                                                       std::to_string(info->height) + " pixels; images larger than " +
                                                       largest + " x " + largest + " are not decoded."
                                                 : std::string(": the PNG image could not be decoded.")));
    result.entry = placeholderEntry(info ? std::to_string(info->bitsPerPixel()) : "0");
    return result;
  }
  result.entry.sizeText = std::to_string(info->width) + "x" + std::to_string(info->height);
  result.entry.bitCountText = std::to_string(info->bitsPerPixel());
  return result;
}

// An image that is not decoded keeps the bytes after its header, so that writing the file back loses nothing.
void keepUndecodedBytes(const IconImageRequest& request, std::size_t headerSize, Node& picture) {
  std::size_t end = std::min(request.declaredSize, request.record.size());
  if (end <= headerSize) return;
  Bytes rest = request.record.subspan(headerSize, end - headerSize);
  Block block(4 + rest.size());
  setLe32(block, 0, static_cast<std::uint32_t>(rest.size()));
  std::copy(rest.begin(), rest.end(), block.begin() + 4);
  picture.addChild(std::string(undecodedImageNode), std::move(block), model::state::none);
}

}  // namespace

model::PictureEntry placeholderEntry(std::string bitCountText) {
  model::PictureEntry entry;
  entry.placeholder = true;
  entry.sizeText = "none";
  entry.bitCountText = std::move(bitCountText);
  return entry;
}

IconImageResult readIconImage(const IconImageRequest& request, Node& picture, Reporter& reporter) {
  if (codecs::hasPngSignature(request.record)) return readPngImage(request, picture, reporter);

  IconImageResult result;
  ByteReader reader(request.record);

  const std::size_t headerSize = headerLength(request.record);
  const bool longHeader = headerSize > bitmapInfoSize;
  Block info(headerSize, 0);
  setLe32(info, 0, static_cast<std::uint32_t>(bitmapInfoSize));
  std::size_t headerRead = reader.readSome(info);
  // A long header cut short by the end of the data keeps the bytes there are, so that a save loses none.
  if (headerRead < headerSize) info.resize(std::max(headerRead, bitmapInfoSize));
  const int width = les32(info, 4);
  const int storedHeight = les32(info, 8);
  const int bitCount = le16(info, 14);
  const std::uint32_t compression = le32(info, 16);
  picture.addChild("bitm_info", info, model::state::none);
  auto undecoded = [&] {
    keepUndecodedBytes(request, info.size(), picture);
    result.entry = placeholderEntry(std::to_string(bitCount));
    return result;
  };

  if (headerRead < bitmapInfoSize) {
    reporter.log("Had been read only " + std::to_string(headerRead) + " bytes.");
    result.corrupt = true;
    result.entry = placeholderEntry(std::to_string(bitCount));
    return result;
  }
  if (headerRead < headerSize) {
    reporter.log(request.pictureName + ": the bitmap header gives its size as " + std::to_string(headerSize) +
                 " bytes, but only " + std::to_string(headerRead) + " are there.");
    result.corrupt = true;
    result.entry = placeholderEntry(std::to_string(bitCount));
    return result;
  }
  if (compression != 0 && !(longHeader && gfx::drawableRows(gfx::BitmapHeader::parse(info)))) {
    reporter.log("Don't support this dib format.");
    return undecoded();
  }
  if ((bitCount == 16 && !longHeader) || (request.animatedCursorFrame && bitCount > 8 && bitCount < 16)) {
    reporter.log("Don't support 16-bits format.");
    return undecoded();
  }
  const int height = storedHeight / 2;
  if (!supportedBitCount(bitCount, longHeader) || width <= 0 || height <= 0) {
    reporter.log("Don't support this dib format.");
    reporter.log(request.pictureName + ": " + std::to_string(width) + " x " + std::to_string(height) + " pixels at " +
                 std::to_string(bitCount) + " bits per pixel cannot be shown.");
    return undecoded();
  }

  const std::size_t entries = bitCount <= 8 ? std::size_t{1} << bitCount : 0;
  Block table;
  if (entries) {
    table.assign(4 + 4 * entries, 0);
    setLe32(table, 0, static_cast<std::uint32_t>(4 * entries));
    std::size_t got = reader.readSome(std::span(table).subspan(4));
    if (got < 4 * entries) {
      const std::string readOnly = "Had been read only " + std::to_string(got) + " bytes";
      if (request.animatedCursorFrame) reporter.dialog({readOnly, Buttons::yes, BoxKind::error, {}});
      reporter.log(readOnly + ".");
      if (!request.animatedCursorFrame) return undecoded();
    }
  }

  const std::uint64_t colourStride = static_cast<std::uint64_t>(gfx::colourRowStride(width, bitCount));
  const std::uint64_t maskStride = static_cast<std::uint64_t>(gfx::maskRowStride(width));
  const std::uint64_t colourSize = colourStride * static_cast<std::uint64_t>(height);
  const std::uint64_t maskSize = maskStride * static_cast<std::uint64_t>(height);
  result.bytesNeeded = info.size() + 4 * entries + colourSize + maskSize;
  if (colourSize + maskSize > request.allocationLimit || colourStride > 0xFFFF || colourSize > 0xFFFFFFFFu) {
    reporter.log(request.pictureName + ": " + std::to_string(width) + " x " + std::to_string(height) + " pixels need " +
                 std::to_string(colourSize + maskSize) + " bytes of rows, more than the file holds.");
    result.corrupt = true;
    return undecoded();
  }

  Block colour = headedRows(static_cast<std::uint16_t>(bitCount), static_cast<std::uint16_t>(colourStride),
                            static_cast<std::uint32_t>(colourSize));
  Block mask = headedRows(1, static_cast<std::uint16_t>(maskStride), static_cast<std::uint32_t>(maskSize));
  std::size_t rowsRead = reader.readSome(std::span(colour).subspan(8));
  rowsRead += reader.readSome(std::span(mask).subspan(8));
  if (rowsRead < colourSize + maskSize)
    reporter.log(request.pictureName + ": the image rows are cut short: " + std::to_string(rowsRead) + " of " +
                 std::to_string(colourSize + maskSize) + " bytes; the missing rows are left blank.");

  if (entries) picture.addChild("color_table", table, request.show.table);
  picture.addChild("color_bitmap", colour, request.show.color);
  picture.addChild("mask_bitmap", mask, request.show.mask);

  result.entry.sizeText = std::to_string(width) + "x" + std::to_string(height);
  result.entry.bitCountText = std::to_string(bitCount);
  return result;
}

}  // namespace delvix::formats
