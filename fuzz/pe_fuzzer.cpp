// Reads arbitrary bytes as a program module, counts its resources, then walks everything the reader built.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/module_reader.h"
#include "formats/pe/resource_counts.h"
#include "model/document.h"
#include "preview/thumbnail.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto bytes = std::span(data, size);
  auto counts = delvix::formats::pe::countResources(bytes);
  delvix::model::Document document;
  delvix::formats::RecordingReporter reporter;
  bool read = delvix::formats::readModule(bytes, document, {}, {}, reporter);
  if (read != counts.has_value()) __builtin_trap();
  if (document.pictures.size() != static_cast<std::size_t>(document.imageCount)) __builtin_trap();
  std::size_t total = 0;
  document.tree.forEach([&](const delvix::model::Node& node, int) { total += node.block().size(); });
  // The thumbnails of the first rows, as the list draws them when it shows them.
  for (int i = 0; i < std::min(document.imageCount, 8); ++i)
    total += delvix::preview::makeThumbnail(document, i).pixels().size();
  return total == SIZE_MAX ? 1 : 0;
}
