// Reads arbitrary bytes as an icon file, then walks everything the reader built.
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/ico_reader.h"
#include "model/document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  delvix::model::Document document;
  delvix::formats::RecordingReporter reporter;
  delvix::formats::readIconFile(std::span(data, size), document, {}, reporter);
  std::size_t bytes = 0;
  document.tree.forEach([&](const delvix::model::Node& node, int) { bytes += node.block().size(); });
  for (const auto& picture : document.pictures) bytes += picture.thumbnail.pixels().size();
  return bytes == SIZE_MAX ? 1 : 0;
}
