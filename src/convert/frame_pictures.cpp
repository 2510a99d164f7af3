#include "convert/frame_pictures.h"

#include <algorithm>
#include <string>

#include "formats/icon_image_writer.h"
#include "formats/le_bytes.h"
#include "preview/frame_render.h"

namespace delvix::convert {

namespace {

constexpr std::size_t entrySize = 16;
constexpr std::size_t fileHeaderSize = 6;

}  // namespace

std::vector<std::unique_ptr<edit::IconSource>> furtherFramePictures(const model::Document& document, int index,
                                                                    formats::Reporter& reporter) {
  std::vector<std::unique_ptr<edit::IconSource>> pictures;
  const model::Node* picture = preview::pictureNode(document, index);
  const model::Node* kept = picture ? picture->findChild("more_images") : nullptr;
  if (!kept) return pictures;
  std::span<const std::uint8_t> rest = formats::blockData(kept->block(), 4);
  for (int number = 2; rest.size() >= entrySize; ++number) {
    const std::size_t size = std::min<std::size_t>(formats::le32(rest, 8), rest.size() - entrySize);
    // Header (reserved 0, type 2, one image), the entry with its offset set to what follows, the image.
    std::vector<std::uint8_t> file{0, 0, 2, 0, 1, 0};
    file.insert(file.end(), rest.begin(), rest.begin() + entrySize);
    formats::setLe32(file, fileHeaderSize + 12, static_cast<std::uint32_t>(fileHeaderSize + entrySize));
    file.insert(file.end(), rest.begin() + entrySize, rest.begin() + static_cast<std::ptrdiff_t>(entrySize + size));
    rest = rest.subspan(entrySize + size);
    formats::RecordingReporter quiet;
    if (auto source = edit::readIconSource(file, quiet); source && !source->document.pictures.empty())
      pictures.push_back(std::move(source));
    else
      reporter.log(picture->name() + ": its picture " + std::to_string(number) + " cannot be read; it is left out.");
  }
  return pictures;
}

}  // namespace delvix::convert
