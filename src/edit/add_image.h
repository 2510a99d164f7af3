#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "formats/reporter.h"
#include "model/document.h"

namespace delvix::edit {

// An icon or cursor file read to take an image from: its document, read as the program reads such files
// (every offset checked, no allocation larger than the file), and one list line per directory entry.
struct IconSource {
  model::Document document;
  bool cursor = false;
  // "1:   32 x 32", one per directory entry.
  std::vector<std::string> lines;
  // The label above the list: "This file contains 3 icons.".
  std::string label;
  // The file's bytes, to check what its directory claims against.
  std::vector<std::uint8_t> file;
};

// Reads `file` as an icon or cursor file to take images from. Null, after the reporter was told
// ("Too little size to be ico(cur)-file.", "This is not ico(cur)-file."), when it is none.
std::unique_ptr<IconSource> readIconSource(std::span<const std::uint8_t> file, formats::Reporter& reporter);

// Why entry `entry` of `source` cannot be offered at all ("This file is corrupt." for an image the file does
// not hold whole); empty when it can.
std::string sourceEntryProblem(const IconSource& source, std::size_t entry);

struct ImageAddition {
  bool added = false;
  // The error box's text when the image was refused ("Cannot add the image with such size.").
  std::string error;
  // Lines for the message log.
  std::vector<std::string> log;
  // The new picture's index (0-based) and node, when added.
  int pictureIndex = -1;
  const model::Node* picture = nullptr;
  std::optional<std::string> statusText;
  bool delaysChanged = false;
};

// Adds entry `entry` of `source` to an icon or cursor file (any size; after the last picture, the offsets of
// the directory following) or as a new last frame of an animated cursor (same size as its frames; a step
// showing it is appended, with the header's display rate when the file has rates). Bitmaps of 9 to 16 bits,
// and compressed bitmaps for animated cursors, are refused, as are images the source does not hold whole.
// Nothing changes when the image is refused.
ImageAddition addImage(model::Document& document, const IconSource& source, std::size_t entry);

}  // namespace delvix::edit
