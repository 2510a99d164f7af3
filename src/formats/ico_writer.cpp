#include "formats/ico_writer.h"

#include <algorithm>
#include <cctype>

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

// The kind of the open file: by its extension, or by its header when the name says neither.
IconKind sourceKind(const model::Document& document, const model::Node* header) {
  std::string extension = lowerExtension(document.path);
  if (extension == ".cur") return IconKind::cursor;
  if (extension == ".ico") return IconKind::icon;
  return header && header->block().size() >= 4 && le16(header->block(), 2) == 2 ? IconKind::cursor : IconKind::icon;
}

void appendLe16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

}  // namespace

IconKind iconKindOfTarget(const std::filesystem::path& target) {
  return lowerExtension(target) == ".cur" ? IconKind::cursor : IconKind::icon;
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

  const bool kindChanges = sourceKind(document, header) != kind;
  auto& out = file.bytes;
  appendLe16(out, 0);
  appendLe16(out, kind == IconKind::icon ? 1 : 2);
  appendLe16(out, static_cast<std::uint16_t>(count));
  std::size_t offset = 6 + 16 * count;
  for (std::size_t i = 0; i < count; ++i) {
    model::Block entry(entries[i]->block().begin(), entries[i]->block().begin() + 16);
    if (kindChanges) {
      setLe16(entry, 4, 0);
      setLe16(entry, 6, 0);
    }
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
  return deliverFile(target, writeIconFile(document, iconKindOfTarget(target)), "Could not open this file.", reporter);
}

}  // namespace delvix::formats
