#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gfx/bitmap_header.h"
#include "gfx/dib_draw.h"
#include "model/document.h"

// The pieces of a picture that the renderers share: which of its nodes hold what, and how they are read.
namespace delvix::preview::parts {

// The nodes of one picture that drawing looks at, all children of that picture.
struct PictureParts {
  const model::Node* png = nullptr;
  const model::Node* bitmapInfo = nullptr;
  const model::Node* colourTable = nullptr;   // right after "bitm_info"
  const model::Node* colourBitmap = nullptr;  // right after "bitm_info", or after the colour table
  bool colourRightAfterInfo = false;
  const model::Node* mask = nullptr;  // right after "color_bitmap"
};

PictureParts partsOf(const model::Node& picture);

// The bitmap header the "bitm_info" block holds, of whichever length it is.
gfx::BitmapHeader headerOf(const model::Node& bitmapInfo);

// A block that starts with a u32 byte count: the bytes it holds, cut to the block.
gfx::ConstBytes countedBytes(const model::Node& node);
// A "color_bitmap" or "mask_bitmap" block (u16 bit count, u16 stride, u32 size, then the rows): its rows.
gfx::ConstBytes rowsOf(const model::Node& node);
bool hasRows(const model::Node* colourBitmap);

// The reader's own decoding of a module's bitmap resource, or null.
const gfx::Image* decodedModuleBitmap(const model::Document& document, int index);

// Why a picture of width x height cannot be drawn, or nullopt when it can.
std::optional<std::string> sizeProblem(const model::Node& picture, std::int64_t width, std::int64_t height);

// The PNG data of a picture decoded, or the log line that says why it is not.
std::optional<gfx::Image> decodedPng(const model::Node& picture, const model::Node& pngData, std::string& problem);

// The rows of a top-down bitmap (negative height) in the bottom-up order drawing reads.
std::vector<std::uint8_t> bottomUpRows(gfx::ConstBytes rows, int stride, int height);

// A bitmap resource may store its rows top down, which its negative height says.
bool isTopDown(const gfx::DrawingHeader& header, bool hasMask);

}  // namespace delvix::preview::parts
