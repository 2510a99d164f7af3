#include "preview/frame_render.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <vector>

#include "codecs/png_alpha.h"
#include "codecs/png_decode.h"
#include "formats/le_bytes.h"
#include "gfx/bitmap_header.h"
#include "gfx/dib_draw.h"
#include "model/picture_index.h"

namespace delvix::preview {

namespace {

using gfx::ConstBytes;
using model::Node;

constexpr const char* noBitmapInfo = "Didn't be found the 'bitm_info' chunk";
constexpr const char* colourBitmapError = "Error from color bitmap.";
constexpr const char* incorrectBitmap = "Incorrect bitmap.";
constexpr const char* compressedBitmap =
    "You cannot edit the color table for this bitmap. It 'Compression' value isn't 0.";

// The nodes of one picture that drawing looks at, all children of that picture.
struct PictureParts {
  const Node* png = nullptr;
  const Node* bitmapInfo = nullptr;
  const Node* colourTable = nullptr;   // right after "bitm_info"
  const Node* colourBitmap = nullptr;  // right after "bitm_info", or after the colour table
  bool colourRightAfterInfo = false;
  const Node* mask = nullptr;  // right after "color_bitmap"
};

const Node* childAfter(const Node& picture, const Node* node, std::string_view name) {
  if (!node) return nullptr;
  const std::size_t next = node->indexInParent() + 1;
  if (next >= picture.childCount() || picture.child(next).name() != name) return nullptr;
  return &picture.child(next);
}

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

// Why a picture that has no decoding is not drawn: what the reader found, or what its header asks for.
std::string notDrawnReason(const model::Document& document, int index, const Node& picture,
                           const gfx::BitmapHeader* header) {
  if (auto found = document.module.bitmapProblems.find(index); found != document.module.bitmapProblems.end())
    return found->second;
  if (!header) return noBitmapInfo;
  return picture.name() + ": not drawn: " + gfx::undrawableReason(*header) + ".";
}

// Why an icon image whose bytes were kept undecoded is not drawn.
std::string undecodedReason(const Node& picture, const gfx::BitmapHeader& header) {
  const int bits = header.bitCount;
  std::string why = "its rows were kept as they were read";
  if (bits == 16 && header.size == gfx::infoHeaderSize)
    why = "16 bits per pixel behind a 40-byte header are not drawn";
  else if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    why = std::to_string(bits) + " bits per pixel are not a bitmap format";
  return picture.name() + ": not drawn: " + why + ".";
}

Rendering withImage(gfx::Image image) {
  Rendering rendering;
  rendering.image = std::move(image);
  return rendering;
}

Rendering withError(std::string text) {
  Rendering rendering;
  rendering.error = std::move(text);
  return rendering;
}

Rendering withLogLine(std::string text) {
  Rendering rendering;
  rendering.logLine = std::move(text);
  return rendering;
}

Rendering opaqueCopy(const gfx::Image& decoded) {
  gfx::Image image = decoded;
  for (gfx::Pixel& p : image.pixels()) p |= 0xFF000000u;
  return withImage(std::move(image));
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

Rendering plainPng(const Node& picture, const Node& pngData) {
  std::string problem;
  auto decoded = decodedPng(picture, pngData, problem);
  if (!decoded) return withLogLine(problem);
  // Fully transparent pixels stay the canvas key; every other pixel is shown opaque.
  gfx::Image canvas = gfx::prepareCanvas(decoded->width(), decoded->height());
  std::transform(decoded->pixels().begin(), decoded->pixels().end(), canvas.pixels().begin(), canvas.pixels().begin(),
                 [](gfx::Pixel p, gfx::Pixel key) { return gfx::alpha(p) == 0 ? key : p | 0xFF000000u; });
  return withImage(std::move(canvas));
}

Rendering alphaPng(const Node& picture, const Node& pngData) {
  std::string problem;
  auto decoded = decodedPng(picture, pngData, problem);
  if (!decoded) return withLogLine(problem);
  gfx::Image canvas = gfx::prepareCanvas(decoded->width(), decoded->height());
  std::transform(decoded->pixels().begin(), decoded->pixels().end(), canvas.pixels().begin(), canvas.pixels().begin(),
                 [](gfx::Pixel p, gfx::Pixel under) { return gfx::blendOver(under, p); });
  return withImage(std::move(canvas));
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

}  // namespace

const model::Node* pictureNode(const model::Document& document, int index) {
  if (index < 0 || index == std::numeric_limits<int>::max()) return nullptr;
  return document.tree.findFirst(model::pictureName(index + 1));
}

Rendering renderPlain(const model::Document& document, int index) {
  const Node* picture = pictureNode(document, index);
  const gfx::Image* decoded = decodedModuleBitmap(document, index);
  if (!picture) return withLogLine(noBitmapInfo);
  const PictureParts parts = partsOf(*picture);
  if (parts.png) return plainPng(*picture, *parts.png);
  // A bitmap resource that the tree does not list (16 bits per pixel, ...) was still decoded by the reader.
  if (!parts.bitmapInfo)
    return decoded ? opaqueCopy(*decoded) : withLogLine(notDrawnReason(document, index, *picture, nullptr));

  const gfx::BitmapHeader info = headerOf(*parts.bitmapInfo);
  // Compressed rows and rows that were not kept are shown from the reader's decoding; an icon image has
  // none, and says why. Rows that are kept are drawn from the node, which the pixel edits change.
  if (!gfx::drawableRows(info))
    return decoded ? opaqueCopy(*decoded) : withLogLine(notDrawnReason(document, index, *picture, &info));
  if (decoded && !hasRows(parts.colourBitmap)) return opaqueCopy(*decoded);
  if (!hasRows(parts.colourBitmap)) {
    Rendering failed = withError(colourBitmapError);
    if (picture->findChild("image_data")) failed.logLine = undecodedReason(*picture, info);
    return failed;
  }

  const ConstBytes colourEntries = parts.colourTable ? countedBytes(*parts.colourTable) : ConstBytes{};
  auto header = gfx::DrawingHeader::fromBitmapInfo(parts.bitmapInfo->block(), colourEntries, parts.mask != nullptr);
  const bool topDown = isTopDown(header, parts.mask != nullptr);
  if (topDown) header.height = -header.height;
  if (auto problem = sizeProblem(*picture, header.width, header.height)) return withLogLine(*problem);

  gfx::Image canvas = gfx::prepareCanvas(header.width, header.height);
  ConstBytes colourRows = rowsOf(*parts.colourBitmap);
  std::vector<std::uint8_t> flipped;
  if (topDown) {
    flipped = bottomUpRows(colourRows, header.rowStride(), header.height);
    colourRows = flipped;
  }
  if (parts.mask) {
    gfx::drawMaskedImage(canvas, header.width, header.height, rowsOf(*parts.mask), colourRows, header);
  } else {
    for (int y = 0; y < header.height; ++y)
      header.decodeRow(colourRows, y, std::span(&canvas.at(0, y), static_cast<std::size_t>(header.width)));
  }
  return withImage(std::move(canvas));
}

Rendering renderAlpha(const model::Document& document, int index) {
  const Node* picture = pictureNode(document, index);
  if (!picture) return withError(incorrectBitmap);
  const PictureParts parts = partsOf(*picture);
  if (parts.png) return alphaPng(*picture, *parts.png);
  if (!parts.bitmapInfo) return withError(incorrectBitmap);

  if (!gfx::drawableRows(headerOf(*parts.bitmapInfo))) return withError(compressedBitmap);
  if (!parts.colourRightAfterInfo || !hasRows(parts.colourBitmap)) return withError(colourBitmapError);

  auto header = gfx::DrawingHeader::fromBitmapInfo(parts.bitmapInfo->block(), {}, parts.mask != nullptr);
  ConstBytes colourRows = rowsOf(*parts.colourBitmap);
  const bool topDown = isTopDown(header, parts.mask != nullptr);
  if (topDown) header.height = -header.height;
  if (auto problem = sizeProblem(*picture, header.width, header.height)) return withLogLine(*problem);

  std::vector<std::uint8_t> flipped;
  if (topDown) {
    flipped = bottomUpRows(colourRows, header.rowStride(), header.height);
    colourRows = flipped;
  }
  gfx::Image canvas = gfx::prepareCanvas(header.width, header.height);
  gfx::drawWithAlpha(canvas, header.width, header.height, colourRows, header);
  return withImage(std::move(canvas));
}

bool hasPerPixelAlpha(const model::Document& document, int index) {
  const Node* picture = pictureNode(document, index);
  if (!picture) return false;
  const PictureParts parts = partsOf(*picture);
  if (parts.png) return codecs::pngHasAlpha(countedBytes(*parts.png));
  if (!parts.bitmapInfo) return false;
  const gfx::BitmapHeader info = headerOf(*parts.bitmapInfo);
  return info.bitCount == 32 && gfx::drawableRows(info) && (!info.masks || info.masks->alpha != 0) &&
         parts.colourRightAfterInfo && hasRows(parts.colourBitmap);
}

}  // namespace delvix::preview
