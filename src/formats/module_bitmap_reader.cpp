#include "formats/module_bitmap_reader.h"

#include <algorithm>
#include <cstdlib>

#include "formats/icon_image_reader.h"
#include "formats/le_bytes.h"
#include "gfx/bitmap_header.h"
#include "gfx/dib_decode.h"
#include "model/picture_index.h"

namespace delvix::formats::module {

namespace {

using model::Block;
using model::Node;

constexpr const char* prefix = "Bitmaps.";

bool hasColourTable(int bitCount) { return bitCount == 1 || bitCount == 4 || bitCount == 8; }
// 16-bit rows are listed after the longer headers, which hold their colour masks.
bool drawable(int bitCount, std::size_t headerSize) {
  return hasColourTable(bitCount) || bitCount == 24 || bitCount == 32 ||
         (bitCount == 16 && headerSize > bitmapInfoSize);
}

// Adds "color_table" and "color_bitmap" (with a block only for rows that are drawn as they are stored) after
// a header of `headerSize` bytes, 40 or one of the longer kinds.
void addPixelNodes(Context& context, Bytes dib, std::size_t headerSize, Node& picture, const std::string& label) {
  const int bitCount = le16(dib, 14);
  const std::int64_t width = les32(dib, 4);
  const std::int64_t height = std::abs(std::int64_t{les32(dib, 8)});
  const std::uint32_t colorsUsed = le32(dib, 32);
  const bool rowsAsStored = gfx::drawableRows(gfx::BitmapHeader::parse(dib.first(headerSize)));

  // The rows follow the colours actually stored: biClrUsed of them when it is set.
  std::size_t rowsAt = headerSize;
  if (hasColourTable(bitCount)) {
    const std::size_t entries = std::size_t{1} << bitCount;
    const std::size_t stored = colorsUsed ? std::min<std::size_t>(colorsUsed, entries) : entries;
    Block table(4 + 4 * entries, 0);
    setLe32(table, 0, static_cast<std::uint32_t>(4 * entries));
    Bytes storedTable = dib.subspan(headerSize, std::min(4 * stored, dib.size() - headerSize));
    std::copy(storedTable.begin(), storedTable.end(), table.begin() + 4);
    if (storedTable.size() < 4 * stored)
      context.reporter.log(label + ": the colour table is cut short: " + std::to_string(storedTable.size()) + " of " +
                           std::to_string(4 * stored) + " bytes.");
    picture.addChild("color_table", std::move(table), !rowsAsStored ? model::state::valuesHidden : context.show.table);
    rowsAt += 4 * stored;
  } else if (colorsUsed) {
    rowsAt += 4 * static_cast<std::size_t>(std::min<std::uint32_t>(colorsUsed, 0x10000));
  }

  const std::uint64_t stride = width > 0 ? static_cast<std::uint64_t>(gfx::colourRowStride(
                                               static_cast<int>(std::min<std::int64_t>(width, 0x7FFFFFFF)), bitCount))
                                         : 0;
  const std::uint64_t size = stride * static_cast<std::uint64_t>(height);
  if (!rowsAsStored) {
    picture.addChild("color_bitmap", {}, model::state::valuesHidden);
    return;
  }
  if (width <= 0 || height == 0 || stride > 0xFFFF || size > context.fileSize) {
    context.reporter.log(label + ": " + std::to_string(width) + " x " + std::to_string(height) + " pixels need " +
                         std::to_string(size) + " bytes of rows, more than the file holds.");
    picture.addChild("color_bitmap", {}, model::state::valuesHidden);
    return;
  }
  Block rows(8 + size, 0);
  setLe16(rows, 0, static_cast<std::uint16_t>(bitCount));
  setLe16(rows, 2, static_cast<std::uint16_t>(stride));
  setLe32(rows, 4, static_cast<std::uint32_t>(size));
  const Bytes stored =
      rowsAt < dib.size() ? dib.subspan(rowsAt, std::min<std::size_t>(size, dib.size() - rowsAt)) : Bytes{};
  std::copy(stored.begin(), stored.end(), rows.begin() + 8);
  if (stored.size() < size)
    context.reporter.log(label + ": the image rows are cut short: " + std::to_string(stored.size()) + " of " +
                         std::to_string(size) + " bytes; the missing rows are left blank.");
  picture.addChild("color_bitmap", std::move(rows), context.show.color);
}

model::PictureEntry previewEntry(Context& context, Bytes dib, const gfx::BitmapHeader& header, int pictureIndex,
                                 const std::string& sizeText, const std::string& label) {
  const std::uint64_t width = static_cast<std::uint32_t>(std::max(header.width, 0));
  const std::uint64_t height = static_cast<std::uint64_t>(std::abs(std::int64_t{header.height}));
  model::PictureEntry entry;
  gfx::DibDecodeResult decoded;
  if (context.spendPixels(width * height))
    decoded = gfx::decodePackedDib(dib, static_cast<std::size_t>(width * height));
  else
    decoded.problem = "the module asks for more image data than it holds";
  if (!decoded.image) {
    context.reporter.log(label + ": not decoded: " + decoded.problem + ".");
    context.document.module.bitmapProblems[pictureIndex] = label + ": not decoded: " + decoded.problem + ".";
    return placeholderEntry(std::to_string(header.bitCount));
  }
  entry.sizeText = sizeText;
  entry.bitCountText = std::to_string(header.bitCount);
  context.document.module.bitmapPictures[pictureIndex] = std::move(*decoded.image);
  return entry;
}

}  // namespace

void expandBitmap(Context& context, Node& resourceNode) {
  const model::ResourceName& name = *resourceNode.resourceName();
  const pe::ResourceLanguage language = languageOf(resourceNode);
  auto data = context.resources.find(pe::rtBitmap, name, language);
  if (!reportLookup(data, prefix, context.reporter)) return;
  Bytes dib = data.bytes;
  const std::string label = std::string(prefix) + " " + displayName(name) + languageSuffix(language);
  if (dib.size() < 2) {
    context.reporter.log("The damage of a part of resource.");
    return;
  }
  const std::uint32_t headerSize = dib.size() >= 4 ? le32(dib, 0) : le16(dib, 0);
  const bool knownHeader =
      headerSize == gfx::coreHeaderSize || headerSize == bitmapInfoSize || gfx::isLongHeaderSize(headerSize);
  if (headerSize == bitmapInfoSize && dib.size() < bitmapInfoSize) {
    context.reporter.log("The damage of a part of resource.");
    return;
  }

  if (context.takePictures(1) == 0) {
    context.reporter.log(label + ": not listed; the module's resources list more images than it holds.");
    return;
  }

  const bool core = headerSize == gfx::coreHeaderSize;
  const bool whole = knownHeader && dib.size() >= headerSize;
  const gfx::BitmapHeader parsed = gfx::BitmapHeader::parse(dib.first(whole ? headerSize : 0));
  const int bitCount = parsed.bitCount;
  const int number = context.document.imageCount + 1;
  Node& picture = resourceNode.addChild(model::pictureName(number), {}, model::state::picture);
  ++context.document.imageCount;
  if (!context.canStore(dib.size())) {
    context.reporter.log(overBudget(label));
    context.document.pictures.push_back(placeholderEntry(std::to_string(bitCount)));
    return;
  }
  // An unknown header, or one longer than the resource, is listed without parts; the decoder says why.
  if (!whole) {
    const std::string problem = !knownHeader
                                    ? "a bitmap header of " + std::to_string(headerSize) + " bytes is not known"
                                    : "the bitmap header gives its size as " + std::to_string(headerSize) +
                                          " bytes, but the resource holds " + std::to_string(dib.size());
    context.reporter.log(label + ": not decoded: " + problem + ".");
    context.document.module.bitmapProblems[number - 1] = label + ": not decoded: " + problem + ".";
    context.document.pictures.push_back(placeholderEntry(std::to_string(bitCount)));
    return;
  }
  const Block header(dib.begin(), dib.begin() + headerSize);
  if (core) {
    // The core header's 3-byte colours and its rows are drawn from the decoding.
    picture.addChild("bitm_info", header);
    context.stored(picture);
  } else if (!drawable(bitCount, headerSize)) {
    context.reporter.log("Don't support this DIB-format.");
  } else {
    picture.addChild("bitm_info", header);
    addPixelNodes(context, dib, headerSize, picture, label);
    context.stored(picture);
  }
  context.document.pictures.push_back(previewEntry(context, dib, parsed, number - 1,
                                                   displayName(name) + languageSuffix(language) + " [Bitmap]", label));
}

}  // namespace delvix::formats::module
