#include "formats/one_image_writer.h"

#include "formats/icon_group_writer.h"
#include "formats/icon_image_reader.h"
#include "formats/icon_image_writer.h"
#include "formats/le_bytes.h"
#include "model/picture_index.h"

namespace delvix::formats {

namespace {

constexpr std::size_t oneImageHeaderSize = 22;

// The 16-byte directory entry (width, height, colours, reserved, planes or hot-spot x, bit count or
// hot-spot y, size, offset) that the picture gets in a one-image file of `target` kind; size and offset
// are filled in later.
using Entry = model::Block;

const model::Node* directoryNode(const model::Node& header, int number) {
  return model::findNumberedChild(header, "icon_dir_", number);
}

bool isCursorHeader(const model::Node& header) { return header.block().size() >= 6 && le16(header.block(), 2) == 2; }

std::optional<Entry> iconFileEntry(const model::Document& document, const model::Node& picture, int number,
                                   IconKind target) {
  const model::Node* header = document.tree.findFirst("header");
  const model::Node* dir = header ? directoryNode(*header, number) : nullptr;
  if (!dir || dir->block().size() < 16) return std::nullopt;
  Entry entry(dir->block().begin(), dir->block().begin() + 16);
  convertDirectoryEntry(entry, headerKind(document), target, picture);
  return entry;
}

std::optional<Entry> frameEntry(const model::Node& picture, IconKind target) {
  const model::Node* info = picture.findChild("image_info");
  if (!info || info->block().size() < oneImageHeaderSize) return std::nullopt;
  Entry entry(info->block().begin() + 6, info->block().begin() + 22);
  convertDirectoryEntry(entry, le16(info->block(), 2) == 2 ? IconKind::cursor : IconKind::icon, target, picture);
  return entry;
}

// A module image: the group's 14-byte entry, whose kind the group header tells (a 256-pixel icon's
// height byte is 0 too). A cursor's real size comes from its bitmap header, since modules store the
// entry's height either doubled or plain; its hot spot from the "hot_pot" node.
std::optional<Entry> moduleEntry(const model::Node& picture, int number, IconKind target) {
  const model::Node* group = picture.parent();
  const model::Node* header = group ? group->findChild("header") : nullptr;
  const model::Node* dir = header ? directoryNode(*header, number) : nullptr;
  if (!dir || dir->block().size() < 12) return std::nullopt;
  return moduleFileEntry(dir->block(), picture, isCursorHeader(*header), target);
}

std::optional<Entry> sourceEntry(const model::Document& document, const model::Node& picture, IconKind target) {
  auto number = model::pictureNumber(picture.name());
  if (!number) return std::nullopt;
  switch (document.kind) {
    case model::FileKind::iconFile: return iconFileEntry(document, picture, *number, target);
    case model::FileKind::animatedCursor: return frameEntry(picture, target);
    case model::FileKind::module: return moduleEntry(picture, *number, target);
    default: return std::nullopt;
  }
}

}  // namespace

const model::Node* findPicture(const model::Document& document, int index) {
  return document.tree.findFirst(model::pictureName(index + 1));
}

WrittenFile writeOneImage(const model::Document& document, const model::Node& picture, IconKind kind) {
  WrittenFile file;
  auto entry = sourceEntry(document, picture, kind);
  auto record = iconImageRecord(picture);
  if (!entry || !record) {
    file.complete = false;
    return file;
  }
  model::Block header(oneImageHeaderSize, 0);
  setLe16(header, 2, kind == IconKind::icon ? 1 : 2);
  setLe16(header, 4, 1);
  std::copy(entry->begin(), entry->end(), header.begin() + 6);
  setLe32(header, 14, static_cast<std::uint32_t>(record->size()));
  setLe32(header, 18, static_cast<std::uint32_t>(oneImageHeaderSize));
  file.bytes = std::move(header);
  file.bytes.insert(file.bytes.end(), record->begin(), record->end());
  return file;
}

bool saveOneImage(const model::Document& document, const model::Node& picture, const std::filesystem::path& target,
                  Reporter& reporter) {
  IconKind kind = iconKindOfTarget(target);
  if (document.kind == model::FileKind::iconFile) kind = savedKind(headerKind(document), document.path, target);
  return deliverFile(target, writeOneImage(document, picture, kind), "It's impossible open this file.", reporter);
}

}  // namespace delvix::formats
