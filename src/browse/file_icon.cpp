#include "browse/file_icon.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <vector>

#include "browse/file_names.h"
#include "browse/file_summary.h"
#include "codecs/png_decode.h"
#include "formats/byte_source.h"
#include "formats/ico_reader.h"
#include "formats/icon_image_reader.h"
#include "formats/le_bytes.h"
#include "formats/module_group_reader.h"
#include "formats/pe/pe_image.h"
#include "formats/pe/resource_directory.h"
#include "formats/riff/riff_navigator.h"
#include "model/picture_index.h"
#include "preview/frame_render.h"

namespace delvix::browse {

namespace fs = std::filesystem;

namespace {

using formats::Bytes;
using formats::ByteSource;

constexpr formats::riff::FourCC aconForm = formats::riff::fourcc('A', 'C', 'O', 'N');
constexpr formats::riff::FourCC frameListType = formats::riff::fourcc('f', 'r', 'a', 'm');
constexpr formats::riff::FourCC iconId = formats::riff::fourcc('i', 'c', 'o', 'n');
// A compressed image this large is not drawn for a 16-pixel icon: a small file could otherwise ask for the
// preview's whole canvas.
constexpr std::int64_t largestPngPixels = std::int64_t{1024} * 1024;

// A directory entry's width byte; 0 stands for 256.
int dimensionOf(std::uint8_t value) { return value == 0 ? 256 : value; }

struct Candidate {
  int width = 0;
  int bitCount = 0;
};

// The smallest image at least as wide as the icon, the deepest among equals; else the widest.
std::optional<std::size_t> chosenImage(const std::vector<Candidate>& images) {
  std::optional<std::size_t> best;
  auto better = [](const Candidate& a, const Candidate& b) {
    const bool aFits = a.width >= fileIconSize, bFits = b.width >= fileIconSize;
    if (aFits != bFits) return aFits;
    if (a.width != b.width) return aFits ? a.width < b.width : a.width > b.width;
    return a.bitCount > b.bitCount;
  };
  for (std::size_t i = 0; i < images.size(); ++i)
    if (!best || better(images[i], images[*best])) best = i;
  return best;
}

// Samples the middle of each target pixel's area: canvas pixels stay the canvas key.
gfx::Image scaled(const gfx::Image& image, int size) {
  gfx::Image result(size, size, gfx::transparentKey);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      result.at(x, y) =
          image.at(static_cast<int>((2 * static_cast<std::int64_t>(x) + 1) * image.width() / (2 * size)),
                   static_cast<int>((2 * static_cast<std::int64_t>(y) + 1) * image.height() / (2 * size)));
  return result;
}

bool allCanvas(const gfx::Image& image) {
  return std::all_of(image.pixels().begin(), image.pixels().end(),
                     [](gfx::Pixel p) { return p == gfx::transparentKey; });
}

// One icon image record (bitmap or PNG) read by the icon reader and drawn by the preview.
gfx::Image drawnRecord(Bytes record, std::size_t allocationLimit) {
  if (codecs::hasPngSignature(record)) {
    const auto info = codecs::readPngInfo(record);
    if (!info || std::int64_t{info->width} * info->height > largestPngPixels) return {};
  }
  model::Document document;
  model::Node& picture = document.tree.addTopLevel(model::pictureName(1), {}, model::state::picture);
  formats::RecordingReporter ignored;
  formats::IconImageRequest request;
  request.record = record;
  request.declaredSize = record.size();
  request.allocationLimit = allocationLimit;
  request.pictureName = picture.name();
  if (formats::readIconImage(request, picture, ignored).entry.placeholder) return {};

  preview::Rendering drawn;
  // Old 32-bit images leave their alpha 0 and rely on the mask: those are drawn plainly.
  if (preview::hasPerPixelAlpha(document, 0)) drawn = preview::renderAlpha(document, 0);
  if (drawn.image.empty() || allCanvas(drawn.image)) drawn = preview::renderPlain(document, 0);
  if (drawn.image.empty()) return {};
  return scaled(drawn.image, fileIconSize);
}

gfx::Image iconOfIconFile(ByteSource& file) {
  const Bytes header = file.read(0, formats::iconHeaderSize);
  if (header.size() < formats::iconHeaderSize || formats::le16(header, 0) != 0) return {};
  if (const std::uint16_t type = formats::le16(header, 2); type != 1 && type != 2) return {};
  const std::size_t count = formats::le16(header, 4);
  const Bytes directory = file.read(formats::iconHeaderSize, count * formats::iconDirEntrySize);

  std::vector<Candidate> images;
  for (std::size_t at = 0; at + formats::iconDirEntrySize <= directory.size(); at += formats::iconDirEntrySize)
    images.push_back({dimensionOf(directory[at]), formats::le16(directory, at + 6)});
  const auto chosen = chosenImage(images);
  if (!chosen) return {};
  const std::size_t entry = *chosen * formats::iconDirEntrySize;
  const Bytes record = file.read(formats::le32(directory, entry + 12), formats::le32(directory, entry + 8));
  return record.empty() ? gfx::Image{} : drawnRecord(record, static_cast<std::size_t>(file.size()));
}

gfx::Image iconOfAnimatedCursor(ByteSource& file) {
  formats::riff::Navigator navigator(file);
  formats::riff::Chunk form, frames, frame;
  if (navigator.descendRiff(form, aconForm) != formats::riff::code::ok ||
      navigator.descendList(frames, form, frameListType) != formats::riff::code::ok ||
      navigator.descendChunk(frame, frames, iconId) != formats::riff::code::ok)
    return {};
  formats::MemorySource frameFile(navigator.read(frame.size));
  return iconOfIconFile(frameFile);
}

gfx::Image iconOfModule(std::shared_ptr<ByteSource> file) {
  const auto fileSize = static_cast<std::size_t>(file->size());
  auto image = formats::pe::PeImage::parse(std::move(file));
  if (!image) return {};
  auto resources = formats::pe::ResourceDirectory::open(*image);
  if (!resources) return {};
  const auto groups = resources->names(formats::pe::rtGroupIcon);
  if (groups.empty()) return {};
  const auto group = resources->find(formats::pe::rtGroupIcon, groups.front());
  const Bytes bytes = group.bytes;
  if (group.status != formats::pe::LookupStatus::found || bytes.size() < formats::module::groupHeaderSize ||
      formats::le16(bytes, 0) != 0 || formats::le16(bytes, 2) != 1)
    return {};

  const std::size_t stored = (bytes.size() - formats::module::groupHeaderSize) / formats::module::groupEntrySize;
  const std::size_t count = std::min<std::size_t>(formats::le16(bytes, 4), stored);
  std::vector<Candidate> images;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = formats::module::groupHeaderSize + i * formats::module::groupEntrySize;
    images.push_back({dimensionOf(bytes[at]), formats::le16(bytes, at + 6)});
  }
  const auto chosen = chosenImage(images);
  if (!chosen) return {};
  const std::size_t at = formats::module::groupHeaderSize + *chosen * formats::module::groupEntrySize;
  const auto icon = resources->find(formats::pe::rtIcon, std::uint32_t{formats::le16(bytes, at + 12)});
  if (icon.status != formats::pe::LookupStatus::found) return {};
  return drawnRecord(icon.bytes, fileSize);
}

}  // namespace

bool showsOwnIcon(const fs::path& file) {
  const std::string extension = lowerExtension(file);
  return extension == ".ico" || extension == ".cur" || extension == ".ani" || extension == ".exe" ||
         extension == ".scr";
}

FixedPicture fixedPictureOf(const FolderRow& row) {
  if (row.kind == RowKind::parent) return FixedPicture::parentFolder;
  if (row.kind == RowKind::folder) return FixedPicture::folder;
  const std::string extension = lowerExtension(row.path);
  if (extension == ".dll") return FixedPicture::library;
  if (extension == ".ocx" || extension == ".cpl") return FixedPicture::controlModule;
  if (extension == ".exe") return FixedPicture::programWithoutIcon;
  return FixedPicture::otherWithoutIcon;
}

gfx::Image fileIcon(const fs::path& file) {
  if (!showsOwnIcon(file)) return {};
  auto opened = formats::FileSource::open(file);
  if (!opened.source) return {};
  std::shared_ptr<ByteSource> source = std::move(opened.source);
  try {
    switch (fileKindOf(*source, file)) {
      case FileKind::iconFile:
      case FileKind::cursorFile: return iconOfIconFile(*source);
      case FileKind::animatedCursor: return iconOfAnimatedCursor(*source);
      case FileKind::module: return iconOfModule(source);
      case FileKind::wave:
      case FileKind::other: break;
    }
  } catch (const std::exception&) {
    // A damaged file shows the fixed picture.
  }
  return {};
}

}  // namespace delvix::browse
