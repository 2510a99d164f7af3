#include "fieldview/pixel_table.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>

#include "fieldview/pixel_items.h"
#include "fieldview/table_builder.h"
#include "formats/le_bytes.h"
#include "gfx/bitmap_header.h"
#include "model/picture_index.h"

namespace delvix::fieldview {

namespace {

using pixels::RowWindow;

bool listedBitCount(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32; }

const model::Node* bitmapInfoBefore(const model::Node& colourBitmap) {
  if (const model::Node* info = pixels::siblingBefore(colourBitmap, "bitm_info")) return info;
  const model::Node* table = pixels::siblingBefore(colourBitmap, "color_table");
  return table ? pixels::siblingBefore(*table, "bitm_info") : nullptr;
}

// The table lists 32-bit pixels as reserved, red, green and blue bytes: bit fields that place the colours
// elsewhere are not listed, so that no edit writes a colour into the wrong bits.
bool bytesAsListed(const model::Block& bitmapInfo) {
  const auto masks = gfx::BitmapHeader::parse(bitmapInfo).masks;
  return !masks || (masks->red == 0xFF0000 && masks->green == 0xFF00 && masks->blue == 0xFF &&
                    (masks->alpha == 0 || masks->alpha == 0xFF000000u));
}

// The pixels whose three or four bytes are all stored, row by row.
std::size_t storedPixels(const PixelTableShape& shape, std::size_t rowBytes) {
  const auto width = static_cast<std::size_t>(shape.width);
  const auto height = static_cast<std::size_t>(shape.height);
  const std::size_t fullRows = rowBytes / shape.stride;
  if (fullRows >= height) return width * height;
  return fullRows * width + std::min(width, rowBytes % shape.stride / pixels::bytesPerItem(shape.bitCount));
}

EditMode editModeOf(int bitCount) {
  switch (bitCount) {
    case 1: return EditMode::pixels1;
    case 4: return EditMode::pixels4;
    case 8: return EditMode::pixels8;
    case 24: return EditMode::pixels24;
    default: return EditMode::pixels32;
  }
}

std::array<Column, 3> pixelColumns(int bitCount, bool hasMask) {
  std::array<Column, 3> shown;
  int maskWidth = 50;
  switch (bitCount) {
    case 1:
      shown = columns("Byte", 70, "Color", 60);
      maskWidth = 60;
      break;
    case 4: shown = columns("Pixels/Byte", 70, "Table index", 70); break;
    case 8: shown = columns("Pixel/Byte", 70, "Table index", 70); break;
    case 24: shown = columns("Pixel", 70, "R G B", 110); break;
    default: shown = columns("Pixel", 70, "Res R G B", 110); break;
  }
  if (hasMask) shown[2] = Column{"Mask", maskWidth, {}, {}};
  return shown;
}

// The edit strip, left to right.
std::vector<ShownBox> pixelBoxes(int bitCount, bool hasMask) {
  const ShownBox maskIndex{EditBox::editMask1, "Mask index", 1, {}};
  std::vector<ShownBox> boxes;
  switch (bitCount) {
    case 1:
      boxes = {{EditBox::editColor, "Color index", 8, {}}};
      if (hasMask) boxes.push_back({EditBox::editMask, {}, 8, {}});
      return boxes;
    case 4:
      boxes = {{EditBox::editRes, "Table index", 2, {}}};
      if (hasMask) boxes.push_back(maskIndex);
      boxes.push_back({EditBox::editR, "Table index", 2, {}});
      if (hasMask) boxes.push_back({EditBox::editMask2, "Mask index", 1, {}});
      return boxes;
    case 8: boxes = {{EditBox::editRes, "Table index", 3, {}}}; break;
    case 24:
      boxes = {{EditBox::editR, "Red", 3, {}}, {EditBox::editG, "Green", 3, {}}, {EditBox::editB, "Blue", 3, {}}};
      break;
    default:
      boxes = {{EditBox::editRes, "Alpha channel", 3, {}},
               {EditBox::editR, "Red", 3, {}},
               {EditBox::editG, "Green", 3, {}},
               {EditBox::editB, "Blue", 3, {}}};
      break;
  }
  if (hasMask) boxes.push_back(maskIndex);
  return boxes;
}

// The bytes a page's rows read, copied so that the rows can be made after the node has changed or gone.
struct PageBytes {
  PixelTableShape shape;
  std::vector<std::uint8_t> colour, mask;
  std::size_t colourBase = 0, maskBase = 0;
  std::vector<std::uint32_t> palette;
  Mark mark = Mark::readOnly;
};

// Copies the part of `rows` between the lowest and the highest byte that `place` gives for the items.
void copySpan(std::span<const std::uint8_t> rows, std::size_t first, std::size_t count,
              const std::function<std::pair<std::size_t, std::size_t>(std::size_t)>& place,
              std::vector<std::uint8_t>& copy, std::size_t& base) {
  std::size_t low = std::numeric_limits<std::size_t>::max(), high = 0;
  for (std::size_t item = first; item < first + count; ++item) {
    const auto [offset, size] = place(item);
    low = std::min(low, offset);
    high = std::max(high, offset + size);
  }
  high = std::min(high, rows.size());
  if (low >= high) return;
  base = low;
  copy.assign(rows.begin() + static_cast<std::ptrdiff_t>(low), rows.begin() + static_cast<std::ptrdiff_t>(high));
}

Rows pageRows(const model::Node& colourBitmap, const PixelTableShape& shape, std::size_t first, std::size_t count,
              Mark mark) {
  auto page = std::make_shared<PageBytes>();
  page->shape = shape;
  page->mark = mark;
  page->palette = pixels::paletteOf(colourBitmap);
  const std::size_t itemSize = pixels::bytesPerItem(shape.bitCount);
  copySpan(
      pixels::storedRows(colourBitmap.block()), first, count,
      [&](std::size_t item) { return std::pair(pixels::itemOffset(shape, item), itemSize); }, page->colour,
      page->colourBase);
  if (const model::Node* mask = pixels::siblingAfter(colourBitmap, "mask_bitmap"))
    copySpan(
        pixels::storedRows(mask->block()), first, count,
        [&](std::size_t item) { return std::pair(pixels::maskBitsOf(shape, item).byte, std::size_t{1}); }, page->mask,
        page->maskBase);
  return Rows(count, [page, first](std::size_t row) {
    return pixels::itemRow(page->shape, first + row, RowWindow{page->colour, page->colourBase},
                           RowWindow{page->mask, page->maskBase}, page->palette, page->mark);
  });
}

}  // namespace

std::optional<PixelTableShape> pixelTableShape(const model::Node& colourBitmap) {
  const model::Block& block = colourBitmap.block();
  if (colourBitmap.name() != "color_bitmap" || block.size() < 8) return std::nullopt;
  PixelTableShape shape;
  shape.bitCount = formats::le16(block, 0);
  shape.stride = formats::le16(block, 2);
  const model::Node* info = bitmapInfoBefore(colourBitmap);
  if (!listedBitCount(shape.bitCount) || !info || info->block().size() < 12) return std::nullopt;
  if (!bytesAsListed(info->block())) return std::nullopt;

  const std::int64_t width = formats::les32(info->block(), 4);
  std::int64_t height = formats::les32(info->block(), 8);
  if (const model::Node* mask = pixels::siblingAfter(colourBitmap, "mask_bitmap")) {
    shape.hasMask = true;
    shape.maskStride = mask->block().size() >= 4 ? formats::le16(mask->block(), 2) : 0;
    height /= 2;
  } else if (height < 0) {
    shape.topDown = true;
    height = -height;
  }
  const auto rowBits = static_cast<std::uint64_t>(shape.stride) * 8;
  if (width <= 0 || height <= 0 || height > std::numeric_limits<int>::max() ||
      rowBits < static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(shape.bitCount))
    return std::nullopt;
  shape.width = static_cast<int>(width);
  shape.height = static_cast<int>(height);

  const std::size_t rowBytes = pixels::storedRows(block).size();
  shape.itemCount = shape.bitCount <= 8 ? rowBytes : storedPixels(shape, rowBytes);
  return shape;
}

Listing listPixelPage(const model::Document& document, const model::Node& colourBitmap, std::size_t page,
                      const FieldSettings& settings, int zoomFactor) {
  std::optional<PixelTableShape> shape;
  if (colourBitmap.stateImage() == model::state::valuesShown) shape = pixelTableShape(colourBitmap);
  if (shape && page > 0 && page >= shape->pageCount()) shape.reset();

  Listing listing = clearedListing(shape ? std::optional(editModeOf(shape->bitCount)) : std::nullopt, false);
  if (shape) {
    listing.columns = pixelColumns(shape->bitCount, shape->hasMask);
    listing.boxes = pixelBoxes(shape->bitCount, shape->hasMask);
    listing.swatches = shape->bitCount != 1;
    const std::size_t first = page * itemsPerPage;
    const std::size_t count = std::min(itemsPerPage, shape->itemCount - first);
    listing.rows = pageRows(colourBitmap, *shape, first, count, markOfSetting(settings.editData));
    listing.buttons.next = first + count < shape->itemCount;
    listing.buttons.previous = page > 0;
  }
  // A part of a picture: the picture becomes the current one and the player's step goes back to none.
  listing.buttons.removeChunk = false;
  listing.buttons.zoomIn = zoomFactor < 10;
  listing.buttons.zoomOut = zoomFactor > 1;
  const std::optional<int> picture = model::pictureIndexOf(colourBitmap);
  if (picture && *picture >= 0 && static_cast<std::size_t>(*picture) < document.pictures.size())
    listing.pictureToSelect = picture;
  listing.resetsPlayerStep = true;
  return listing;
}

}  // namespace delvix::fieldview
