// Reads arbitrary bytes as an X cursor file, walks what the reader built, writes it back and reads that again:
// a file read whole and written back reads back to the same tree bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "formats/xcursor/xcursor_document.h"
#include "model/document.h"
#include "preview/thumbnail.h"

namespace {

std::size_t treeBytes(const delvix::model::Document& document) {
  std::size_t bytes = 0;
  document.tree.forEach([&](const delvix::model::Node& node, int) { bytes += node.block().size(); });
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace delvix;
  model::Document document;
  formats::RecordingReporter reporter;
  const bool whole = formats::xcursor::readXcursorDocument(std::span(data, size), document, reporter);
  for (int i = 0; i < std::min(document.imageCount, 8); ++i) preview::makeThumbnail(document, i);
  const formats::WrittenFile written = formats::xcursor::writeXcursorDocument(document);
  if (written.complete != whole) std::abort();
  if (!whole) return 0;
  model::Document again;
  formats::RecordingReporter quiet;
  if (!formats::xcursor::readXcursorDocument(written.bytes, again, quiet)) std::abort();
  if (formats::xcursor::writeXcursorDocument(again).bytes != written.bytes) std::abort();
  return treeBytes(again) == SIZE_MAX ? 1 : 0;
}
