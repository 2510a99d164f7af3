#include "formats/ico_writer.h"

#include <algorithm>
#include <cctype>

#include "codecs/png_decode.h"
#include "formats/ico_reader.h"
#include "formats/icon_image_writer.h"
#include "formats/le_bytes.h"
#include "model/picture_index.h"

namespace delvix::formats {

namespace {

std::string lowerExtension(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

// The bits per pixel of a picture's image: its bitmap header's, or its PNG data's; 0 when neither is there.
std::uint16_t imageBitCount(const model::Node& picture) {
  if (const model::Node* info = picture.findChild("bitm_info"); info && info->block().size() >= 16)
    return le16(info->block(), 14);
  if (const model::Node* png = picture.findChild("png_data"))
    if (auto header = codecs::readPngInfo(blockData(png->block(), 4)))
      return static_cast<std::uint16_t>(header->bitsPerPixel());
  return 0;
}

void appendLe16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

}  // namespace

IconKind iconKindOfTarget(const std::filesystem::path& target) {
  return lowerExtension(target) == ".cur" ? IconKind::cursor : IconKind::icon;
}

IconKind headerKind(const model::Document& document) {
  const model::Node* header = document.tree.findFirst("header");
  return header && header->block().size() >= 4 && le16(header->block(), 2) == 2 ? IconKind::cursor : IconKind::icon;
}

IconKind savedKind(IconKind source, const std::filesystem::path& sourcePath, const std::filesystem::path& target) {
  const std::string extension = lowerExtension(target);
  if (extension == lowerExtension(sourcePath) || (extension != ".ico" && extension != ".cur")) return source;
  return iconKindOfTarget(target);
}

void convertDirectoryEntry(model::Block& entry, IconKind from, IconKind to, const model::Node& picture) {
  if (from == to || entry.size() < 8) return;
  setLe16(entry, 4, to == IconKind::icon ? 1 : 0);
  setLe16(entry, 6, to == IconKind::icon ? imageBitCount(picture) : 0);
}

WrittenFile writeIconFile(const model::Document& document, IconKind kind) {
  const model::Tree& tree = document.tree;
  const model::Node* header = tree.findFirst("header");
  std::vector<const model::Node*> entries;
  if (header)
    for (const auto& child : header->children())
      if (child->name().starts_with("icon_dir_")) entries.push_back(child.get());
  std::vector<const model::Node*> pictures;
  for (std::size_t i = 0; i < tree.topLevelCount(); ++i)
    if (model::pictureNumber(tree.topLevel(i).name())) pictures.push_back(&tree.topLevel(i));

  WrittenFile file;
  std::size_t count = std::min(entries.size(), pictures.size());
  file.complete = header && entries.size() == pictures.size();
  std::vector<std::vector<std::uint8_t>> records;
  for (std::size_t i = 0; i < count; ++i) {
    auto record = iconImageRecord(*pictures[i]);
    if (!record || entries[i]->block().size() < 16) {
      file.complete = false;
      count = i;
      break;
    }
    records.push_back(std::move(*record));
  }

  const IconKind source = headerKind(document);
  auto& out = file.bytes;
  appendLe16(out, 0);
  appendLe16(out, kind == IconKind::icon ? 1 : 2);
  appendLe16(out, static_cast<std::uint16_t>(count));
  std::size_t offset = 6 + 16 * count;
  for (std::size_t i = 0; i < count; ++i) {
    model::Block entry(entries[i]->block().begin(), entries[i]->block().begin() + 16);
    convertDirectoryEntry(entry, source, kind, *pictures[i]);
    setLe32(entry, 8, static_cast<std::uint32_t>(records[i].size()));
    setLe32(entry, 12, static_cast<std::uint32_t>(offset));
    offset += records[i].size();
    out.insert(out.end(), entry.begin(), entry.end());
  }
  for (const auto& record : records) out.insert(out.end(), record.begin(), record.end());
  if (const model::Node* trailing = tree.findFirst(trailingDataNode)) {
    auto bytes = blockData(trailing->block(), 4);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return file;
}

bool saveIconFile(const model::Document& document, const std::filesystem::path& target, Reporter& reporter) {
  const IconKind kind = savedKind(headerKind(document), document.path, target);
  return deliverFile(target, writeIconFile(document, kind), "Could not open this file.", reporter);
}

}  // namespace delvix::formats
