#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/byte_reader.h"
#include "formats/reporter.h"
#include "model/document.h"

namespace delvix::formats {

inline constexpr std::size_t bitmapInfoSize = 40;
// The node that keeps, as u32 length + bytes, what follows the header of an image that is not decoded.
inline constexpr std::string_view undecodedImageNode = "image_data";

struct IconImageRequest {
  // The bytes from the start of the image record to the end of the file (or of the chunk that holds it).
  Bytes record;
  // The size the directory gives the image; PNG data is taken at this length (cut to `record`).
  std::size_t declaredSize = 0;
  // No allocation for pixel rows may exceed this (normally the size of the whole file).
  std::size_t allocationLimit = 0;
  model::ShowSettings show;
  // Used in log lines: "picture_3: ...".
  std::string pictureName;
  // A frame of an animated cursor: every bit count from 9 to 16 counts as the 16-bit format, and a short
  // colour table is shown in a dialog and then kept (the missing entries zero) with the rows after it.
  bool animatedCursorFrame = false;
};

struct IconImageResult {
  model::PictureEntry entry;
  // How many bytes of the record the image occupies (what it needs, even when the record is shorter).
  std::uint64_t bytesNeeded = 0;
  // The record claims more data than the allocation limit allows, or is too short to hold its header.
  bool corrupt = false;
};

// Reads one icon or cursor image (a bitmap with colour and mask rows, or PNG data) into the children
// of `picture`: "bitm_info", "color_table", "color_bitmap", "mask_bitmap", or a single "png_data".
// An image that cannot be decoded gets the placeholder entry.
IconImageResult readIconImage(const IconImageRequest& request, model::Node& picture, Reporter& reporter);

// The placeholder entry: the "none" picture, size "none", the given bit-count text.
model::PictureEntry placeholderEntry(std::string bitCountText);

}  // namespace delvix::formats
