// Reads arbitrary bytes as an animated cursor, then walks everything the reader built.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/ani_reader.h"
#include "model/document.h"
#include "preview/thumbnail.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  delvix::model::Document document;
  delvix::formats::RecordingReporter reporter;
  delvix::formats::readAnimatedCursor(std::span(data, size), document, {}, reporter);
  std::size_t bytes = 0;
  document.tree.forEach([&](const delvix::model::Node& node, int) { bytes += node.block().size(); });
  // The thumbnails of the first rows, as the list draws them when it shows them.
  for (int i = 0; i < std::min(document.imageCount, 8); ++i)
    bytes += delvix::preview::makeThumbnail(document, i).pixels().size();
  for (std::uint32_t frame : document.ani.sequence) bytes += frame;
  return bytes == SIZE_MAX ? 1 : 0;
}
