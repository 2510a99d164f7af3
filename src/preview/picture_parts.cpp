#include "preview/picture_parts.h"

#include <algorithm>
#include <limits>

#include "codecs/png_decode.h"
#include "formats/le_bytes.h"
#include "preview/frame_render.h"

namespace delvix::preview::parts {

using gfx::ConstBytes;
using model::Node;

namespace {

const Node* childAfter(const Node& picture, const Node* node, std::string_view name) {
  if (!node) return nullptr;
  const std::size_t next = node->indexInParent() + 1;
  if (next >= picture.childCount() || picture.child(next).name() != name) return nullptr;
  return &picture.child(next);
}

}  // namespace

PictureParts partsOf(const Node& picture) {
  PictureParts parts;
  for (const auto& child : picture.children()) {
    if (child->name() == "png_data") {
      parts.png = child.get();
      return parts;
    }
    if (child->name() == "bitm_info") {
      parts.bitmapInfo = child.get();
      break;
    }
  }
  if (!parts.bitmapInfo) return parts;
  parts.colourBitmap = childAfter(picture, parts.bitmapInfo, "color_bitmap");
  parts.colourRightAfterInfo = parts.colourBitmap != nullptr;
  if (!parts.colourBitmap) {
    parts.colourTable = childAfter(picture, parts.bitmapInfo, "color_table");
    parts.colourBitmap = childAfter(picture, parts.colourTable, "color_bitmap");
  }
  parts.mask = childAfter(picture, parts.colourBitmap, "mask_bitmap");
  return parts;
}

gfx::BitmapHeader headerOf(const Node& bitmapInfo) { return gfx::BitmapHeader::parse(bitmapInfo.block()); }

// A block that starts with a u32 byte count: the bytes it holds, cut to the block.
ConstBytes countedBytes(const Node& node) {
  const model::Block& block = node.block();
  if (block.size() < 4) return {};
  return ConstBytes(block).subspan(4, std::min<std::size_t>(formats::le32(block, 0), block.size() - 4));
}

// A "color_bitmap" or "mask_bitmap" block (u16 bit count, u16 stride, u32 size, then the rows): its rows.
ConstBytes rowsOf(const Node& node) {
  const model::Block& block = node.block();
  if (block.size() < 8) return {};
  return ConstBytes(block).subspan(8, std::min<std::size_t>(formats::le32(block, 4), block.size() - 8));
}

bool hasRows(const Node* colourBitmap) { return colourBitmap && colourBitmap->block().size() >= 8; }

const gfx::Image* decodedModuleBitmap(const model::Document& document, int index) {
  auto found = document.module.bitmapPictures.find(index);
  return found == document.module.bitmapPictures.end() ? nullptr : &found->second;
}

// Why a picture of width x height cannot be drawn, or nullopt when it can.
std::optional<std::string> sizeProblem(const Node& picture, std::int64_t width, std::int64_t height) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
  if (width <= 0 || height <= 0) return picture.name() + ": a picture of " + size + " cannot be drawn.";
  if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > largestRenderedPixels)
    return picture.name() + ": " + size + " are more than can be drawn.";
  return std::nullopt;
}

// The PNG data of a picture decoded, or the log line that says why it is not.
std::optional<gfx::Image> decodedPng(const Node& picture, const Node& pngData, std::string& problem) {
  const ConstBytes png = countedBytes(pngData);
  const auto info = codecs::readPngInfo(png);
  if (!info) {
    problem = picture.name() + ": the PNG image could not be decoded.";
    return std::nullopt;
  }
  if (auto tooLarge = sizeProblem(picture, info->width, info->height)) {
    problem = *tooLarge;
    return std::nullopt;
  }
  // The pixel count is checked above; any single side within it is fine.
  auto image = codecs::decodePng(png, std::numeric_limits<int>::max());
  if (!image) problem = picture.name() + ": the PNG image could not be decoded.";
  return image;
}

// The rows of a top-down bitmap (negative height) in the bottom-up order drawing reads.
std::vector<std::uint8_t> bottomUpRows(ConstBytes rows, int stride, int height) {
  std::vector<std::uint8_t> flipped(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height), 0);
  for (int y = 0; y < height; ++y) {
    const std::size_t from = static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
    if (from >= rows.size()) break;
    const std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(stride), rows.size() - from);
    const std::size_t to = static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(stride);
    std::copy_n(rows.begin() + static_cast<std::ptrdiff_t>(from), length,
                flipped.begin() + static_cast<std::ptrdiff_t>(to));
  }
  return flipped;
}

// A bitmap resource may store its rows top down, which its negative height says.
bool isTopDown(const gfx::DrawingHeader& header, bool hasMask) {
  return !hasMask && header.height < 0 && header.height != std::numeric_limits<int>::min() && header.bitCount <= 32;
}

}  // namespace delvix::preview::parts
