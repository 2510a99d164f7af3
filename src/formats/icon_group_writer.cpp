#include "formats/icon_group_writer.h"

#include "formats/icon_image_writer.h"
#include "formats/le_bytes.h"
#include "model/picture_index.h"

namespace delvix::formats {

namespace {

void appendLe16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

}  // namespace

// The 16-byte file entry for one group entry; size and offset are set by the caller.
model::Block moduleFileEntry(const model::Block& groupEntry, const model::Node& picture, bool cursorGroup,
                             IconKind kind) {
  model::Block entry(16, 0);
  std::copy(groupEntry.begin(), groupEntry.begin() + 8, entry.begin());
  if (cursorGroup) {
    // Cursor groups store u16 width and height, the height doubled or not depending on the tool
    // that made the module; the bitmap header knows.
    const model::Node* info = picture.findChild("bitm_info");
    bool sized = info && info->block().size() >= 12;
    entry[0] = static_cast<std::uint8_t>(sized ? les32(info->block(), 4) : groupEntry[0]);
    entry[1] = static_cast<std::uint8_t>(sized ? les32(info->block(), 8) / 2 : groupEntry[0]);
    entry[2] = 0;
    entry[3] = 0;
  }
  if (kind == IconKind::cursor) {
    const model::Node* hotSpot = picture.findChild("hot_pot");
    bool present = hotSpot && hotSpot->block().size() >= 4;
    setLe16(entry, 4, present ? le16(hotSpot->block(), 0) : 0);
    setLe16(entry, 6, present ? le16(hotSpot->block(), 2) : 0);
  }
  return entry;
}

const model::Node* groupOf(const model::Tree& tree, const model::Node& node) {
  const model::Node* current = &node;
  while (current && !tree.isTopLevel(*current)) current = current->parent();
  return current && current->findChild("header") ? current : nullptr;
}

WrittenFile writeIconGroup(const model::Node& group, IconKind kind) {
  WrittenFile file;
  const model::Node* header = group.findChild("header");
  if (!header || header->block().size() < 6) {
    file.complete = false;
    return file;
  }
  const bool cursorGroup = le16(header->block(), 2) == 2;
  std::vector<const model::Node*> entries;
  for (const auto& child : header->children())
    if (child->name().starts_with("icon_dir_")) entries.push_back(child.get());
  std::vector<const model::Node*> pictures;
  for (const auto& child : group.children())
    if (model::pictureNumber(child->name())) pictures.push_back(child.get());

  std::size_t count = std::min(entries.size(), pictures.size());
  file.complete = entries.size() == pictures.size() && entries.size() == le16(header->block(), 4);
  std::vector<model::Block> directory;
  std::vector<std::vector<std::uint8_t>> records;
  for (std::size_t i = 0; i < count; ++i) {
    auto record = iconImageRecord(*pictures[i]);
    if (!record || entries[i]->block().size() < 12) {
      file.complete = false;
      break;
    }
    directory.push_back(moduleFileEntry(entries[i]->block(), *pictures[i], cursorGroup, kind));
    records.push_back(std::move(*record));
  }

  auto& out = file.bytes;
  appendLe16(out, 0);
  appendLe16(out, kind == IconKind::icon ? 1 : 2);
  appendLe16(out, static_cast<std::uint16_t>(records.size()));
  std::size_t offset = 6 + 16 * records.size();
  for (std::size_t i = 0; i < records.size(); ++i) {
    setLe32(directory[i], 8, static_cast<std::uint32_t>(records[i].size()));
    setLe32(directory[i], 12, static_cast<std::uint32_t>(offset));
    offset += records[i].size();
    out.insert(out.end(), directory[i].begin(), directory[i].end());
  }
  for (const auto& record : records) out.insert(out.end(), record.begin(), record.end());
  return file;
}

bool saveIconGroup(const model::Document& document, const model::Node* selected, const std::filesystem::path& target,
                   Reporter& reporter) {
  if (!selected) return false;
  const model::Node* group = groupOf(document.tree, *selected);
  if (!group) return false;
  IconKind kind = iconKindOfTarget(target);
  std::string extension = target.extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension != ".ico" && extension != ".cur") {
    const model::Node* header = group->findChild("header");
    kind = header && le16(header->block(), 2) == 2 ? IconKind::cursor : IconKind::icon;
  }
  return deliverFile(target, writeIconGroup(*group, kind), "Could not open this file.", reporter);
}

}  // namespace delvix::formats
