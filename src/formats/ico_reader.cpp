#include "formats/ico_reader.h"

#include <algorithm>
#include <utility>

#include "formats/file_content.h"
#include "formats/icon_image_reader.h"
#include "formats/le_bytes.h"
#include "model/picture_index.h"

namespace delvix::formats {

namespace {

using model::Block;
using model::Document;
using model::Node;

constexpr const char* notIconFile = "This is not ico(cur)-file.";
constexpr const char* corruptFile = "This file is corrupt.";
// The pictures' nodes may hold this many bytes, and more in proportion to the file's size: a file stores
// each image once, so only directory entries that share images come near it.
constexpr std::uint64_t baseStoreBudget = std::uint64_t{1} << 24;
constexpr std::uint64_t storedBytesPerFileByte = 16;

std::uint64_t storedBytes(const Node& picture) {
  std::uint64_t bytes = 0;
  for (const auto& child : picture.children()) bytes += std::as_const(*child).block().size();
  return bytes;
}

std::string describe(const std::string& picture, std::uint32_t offset, std::uint32_t size) {
  return picture + ": the image of " + std::to_string(size) + " bytes at offset " + std::to_string(offset);
}

// Reads picture n from the place its directory entry names, and moves `imagesEnd` past it. Returns false
// when the entry points outside the file.
bool readPicture(Bytes file, const Block& entry, Node& picture, const model::ShowSettings& show, Document& document,
                 Reporter& reporter, std::size_t& imagesEnd) {
  const std::uint32_t declaredSize = le32(entry, 8);
  const std::uint32_t offset = le32(entry, 12);
  const std::string& name = picture.name();

  if (offset >= file.size()) {
    reporter.log(describe(name, offset, declaredSize) + " lies outside the file of " + std::to_string(file.size()) +
                 " bytes.");
    document.pictures.push_back(placeholderEntry(std::to_string(le16(entry, 6))));
    return false;
  }
  bool fits = rangeFits(offset, declaredSize, file.size());
  if (!fits)
    reporter.log(describe(name, offset, declaredSize) + " runs past the end of the file of " +
                 std::to_string(file.size()) + " bytes.");

  IconImageRequest request;
  request.record = file.subspan(offset);
  request.declaredSize = declaredSize;
  request.allocationLimit = file.size();
  request.show = show;
  request.pictureName = name;
  IconImageResult result = readIconImage(request, picture, reporter);
  const std::uint64_t end = offset + std::max<std::uint64_t>(declaredSize, result.bytesNeeded);
  imagesEnd = std::max<std::size_t>(imagesEnd, std::min<std::uint64_t>(end, file.size()));
  if (fits && !result.corrupt && !result.entry.placeholder && result.bytesNeeded != declaredSize)
    reporter.log(name + ": the directory gives " + std::to_string(declaredSize) + " bytes, the image holds " +
                 std::to_string(result.bytesNeeded) + ".");
  document.pictures.push_back(std::move(result.entry));
  return fits && !result.corrupt;
}

// What follows the last image is kept in a "trailing_data" node, so that a save writes it back.
void keepTrailingBytes(Bytes file, std::size_t imagesEnd, Document& document, Reporter& reporter) {
  if (imagesEnd >= file.size()) return;
  Bytes tail = file.subspan(imagesEnd);
  Block block(4 + tail.size());
  setLe32(block, 0, static_cast<std::uint32_t>(tail.size()));
  std::copy(tail.begin(), tail.end(), block.begin() + 4);
  document.tree.addTopLevel(std::string(trailingDataNode), std::move(block), model::state::none);
  reporter.log(std::to_string(tail.size()) + " bytes follow the last image; they are kept as they are.");
}

}  // namespace

bool readIconFile(Bytes file, Document& document, const model::ShowSettings& show, Reporter& reporter) {
  document.kind = model::FileKind::iconFile;
  document.statusText = " Size: " + std::to_string(file.size()) + " bytes";

  if (file.size() < iconHeaderSize) {
    reporter.dialog({"Too little size to be ico(cur)-file.", Buttons::yes, BoxKind::error, {}});
    reporter.log(notIconFile);
    return false;
  }
  ByteReader reader(file);
  Block header(iconHeaderSize);
  reader.readSome(header);
  const std::uint16_t type = le16(header, 2);
  const std::uint16_t count = le16(header, 4);
  if (le16(header, 0) != 0 || (type != 1 && type != 2)) {
    reporter.error(notIconFile);
    return false;
  }

  Node& headerNode = document.tree.addTopLevel("header", header);
  document.imageCount = count;

  // Only complete entries are taken; a directory cut short by the end of the file is reported.
  const std::size_t entries = std::min<std::size_t>(count, (file.size() - iconHeaderSize) / iconDirEntrySize);
  std::vector<const Block*> directory;
  for (std::size_t n = 1; n <= entries; ++n) {
    Block entry(iconDirEntrySize);
    reader.readSome(entry);
    Node& node = headerNode.addChild("icon_dir_" + std::to_string(n), entry, model::state::listChunk);
    directory.push_back(&node.block());
  }
  const bool directoryIntact = entries == count;
  if (!directoryIntact) {
    reporter.log("The directory lists " + std::to_string(count) + " images, the file holds " + std::to_string(entries) +
                 " complete entries.");
    document.imageCount = static_cast<int>(entries);
  }

  bool allInside = true;
  std::size_t imagesEnd = iconHeaderSize + entries * iconDirEntrySize;
  std::uint64_t storeBudget = baseStoreBudget + storedBytesPerFileByte * file.size();
  for (std::size_t n = 1; n <= entries; ++n) {
    const Block& entry = *directory[n - 1];
    Node& picture = document.tree.addTopLevel(model::pictureName(static_cast<int>(n)), {}, model::state::picture);
    const std::uint32_t offset = le32(entry, 12);
    const std::uint64_t readable =
        offset < file.size() ? std::min<std::uint64_t>(le32(entry, 8), file.size() - offset) : 0;
    if (readable > storeBudget) {
      reporter.log(picture.name() + ": not read; the directory asks for more image data than the file holds.");
      document.pictures.push_back(placeholderEntry(std::to_string(le16(entry, 6))));
      allInside = false;
      continue;
    }
    allInside &= readPicture(file, entry, picture, show, document, reporter, imagesEnd);
    storeBudget -= std::min(storedBytes(picture), storeBudget);
  }
  keepTrailingBytes(file, imagesEnd, document, reporter);
  if (!allInside || !directoryIntact) reporter.error(corruptFile);
  return directoryIntact;
}

bool readIconFile(const std::filesystem::path& path, Document& document, const model::ShowSettings& show,
                  Reporter& reporter) {
  std::string whyNot;
  auto bytes = FileContent::read(path, &whyNot);
  if (!bytes) {
    reporter.error("Could not open this file: " + whyNot);
    return false;
  }
  return readIconFile(*bytes, document, show, reporter);
}

}  // namespace delvix::formats
