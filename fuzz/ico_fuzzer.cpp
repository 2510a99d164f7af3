// Reads arbitrary bytes as an icon file, draws every picture as the preview does, writes what was read
// back as an icon and as a cursor, and reads the result again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "formats/ico_reader.h"
#include "formats/ico_writer.h"
#include "formats/one_image_writer.h"
#include "model/document.h"
#include "preview/frame_render.h"

using namespace delvix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  model::Document document;
  formats::RecordingReporter reporter;
  formats::readIconFile(std::span(data, size), document, {}, reporter);
  if (static_cast<std::size_t>(document.imageCount) != document.pictures.size()) std::abort();

  for (int index = 0; index < document.imageCount; ++index) {
    const auto plain = preview::renderPlain(document, index);
    const auto blended = preview::renderAlpha(document, index);
    if (plain.image.pixels().size() > preview::largestRenderedPixels ||
        blended.image.pixels().size() > preview::largestRenderedPixels)
      std::abort();
    preview::hasPerPixelAlpha(document, index);
  }

  for (auto kind : {formats::IconKind::icon, formats::IconKind::cursor}) {
    formats::WrittenFile written = formats::writeIconFile(document, kind);
    model::Document again;
    formats::readIconFile(written.bytes, again, {}, reporter);
    // Whatever was written whole reads back with as many pictures.
    if (written.complete && again.pictures.size() != document.pictures.size()) std::abort();
  }
  for (int index = 0; index < document.imageCount; ++index)
    if (const model::Node* picture = formats::findPicture(document, index))
      formats::writeOneImage(document, *picture, formats::IconKind::cursor);
  return 0;
}
