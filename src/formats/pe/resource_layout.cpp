#include "formats/pe/resource_layout.h"

#include <algorithm>
#include <map>

#include "formats/pe/module_rewriter.h"

namespace delvix::formats::pe {

namespace {

constexpr std::size_t directoryHeaderSize = 16;
constexpr std::size_t directoryEntrySize = 8;
constexpr std::size_t dataEntrySize = 16;
constexpr std::uint32_t highBit = 0x80000000u;

std::size_t alignUp(std::size_t value, std::size_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t value) {
  out[at] = static_cast<std::uint8_t>(value);
  out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// One directory of the section: its entries' ids in stored order and what each leads to (a directory's index
// in `Layout::directories`, or an entry's index in the tree).
struct Directory {
  std::vector<ResourceId> path;
  std::vector<ResourceId> ids;
  std::vector<std::size_t> targets;
  std::size_t at = 0;
};

DirectoryStamp stampOf(const ResourceTree& tree, const std::vector<ResourceId>& path) {
  if (path.empty()) return tree.root;
  for (const auto& [stampPath, stamp] : tree.stamps)
    if (stampPath == path) return stamp;
  return {};
}

}  // namespace

ResourceSectionLayout layOutResources(const ResourceTree& resources) {
  // The entries in directory order: types, then names, then languages.
  std::vector<std::size_t> order(resources.entries.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  auto key = [&](std::size_t i) {
    const ResourceEntry& e = resources.entries[i];
    return std::tie(e.type, e.name, e.language);
  };
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return key(a) < key(b); });

  // Directories level by level: the root, every type's, every name's.
  std::vector<Directory> directories(1);
  std::vector<std::size_t> leaves;  // tree indexes in data entry order
  {
    std::map<std::pair<std::size_t, ResourceId>, std::size_t> children;  // (parent, id) → directory
    for (std::size_t i : order) {
      const ResourceEntry& e = resources.entries[i];
      auto child = [&](std::size_t parent, const ResourceId& id) {
        auto [it, added] = children.try_emplace({parent, id}, directories.size());
        if (added) {
          std::vector<ResourceId> path = directories[parent].path;
          path.push_back(id);
          directories[parent].ids.push_back(id);
          directories[parent].targets.push_back(directories.size());
          directories.push_back({std::move(path), {}, {}, 0});
        }
        return it->second;
      };
      const std::size_t typeDirectory = child(0, e.type);
      const std::size_t nameDirectory = child(typeDirectory, e.name);
      Directory& languages = directories[nameDirectory];
      if (!languages.ids.empty() && languages.ids.back() == ResourceId::number(e.language)) continue;  // a duplicate
      languages.ids.push_back(ResourceId::number(e.language));
      languages.targets.push_back(leaves.size());
      leaves.push_back(i);
    }
  }
  // The root, then each type's directory followed by its names' directories, as resource compilers write them.
  std::vector<std::size_t> directoryOrder{0};
  for (std::size_t typeDirectory : directories[0].targets) {
    directoryOrder.push_back(typeDirectory);
    for (std::size_t nameDirectory : directories[typeDirectory].targets) directoryOrder.push_back(nameDirectory);
  }
  std::size_t size = 0;
  for (std::size_t index : directoryOrder) {
    directories[index].at = size;
    size += directoryHeaderSize + directoryEntrySize * directories[index].ids.size();
  }
  std::map<std::u16string, std::size_t> strings;
  std::vector<const std::u16string*> stringOrder;
  for (std::size_t index : directoryOrder)
    for (const ResourceId& id : directories[index].ids)
      if (id.isName()) {
        const auto& text = std::get<std::u16string>(id.value);
        if (strings.try_emplace(text, size).second) {
          stringOrder.push_back(&text);
          size += 2 + 2 * std::min<std::size_t>(text.size(), 0xFFFF);
        }
      }
  size = alignUp(size, 8);
  const std::size_t dataEntriesAt = size;
  size += dataEntrySize * leaves.size();
  std::vector<std::size_t> dataAt(resources.entries.size(), 0);
  std::vector<bool> written(resources.entries.size(), false);
  for (std::size_t leaf : leaves) written[leaf] = true;
  for (std::size_t i = 0; i < resources.entries.size(); ++i) {
    if (!written[i]) continue;
    size = alignUp(size, 8);
    dataAt[i] = size;
    size += resources.entries[i].data.size();
  }
  size = alignUp(size, 8);

  std::vector<std::uint8_t> out(size, 0);
  for (std::size_t index : directoryOrder) {
    const Directory& d = directories[index];
    const DirectoryStamp stamp = stampOf(resources, d.path);
    put32(out, d.at, stamp.characteristics);
    put32(out, d.at + 4, stamp.timeDateStamp);
    put16(out, d.at + 8, stamp.majorVersion);
    put16(out, d.at + 10, stamp.minorVersion);
    const auto named = std::count_if(d.ids.begin(), d.ids.end(), [](const ResourceId& id) { return id.isName(); });
    put16(out, d.at + 12, static_cast<std::uint16_t>(named));
    put16(out, d.at + 14, static_cast<std::uint16_t>(d.ids.size() - named));
    for (std::size_t k = 0; k < d.ids.size(); ++k) {
      const std::size_t entryAt = d.at + directoryHeaderSize + directoryEntrySize * k;
      const ResourceId& id = d.ids[k];
      put32(out, entryAt,
            id.isName() ? highBit | static_cast<std::uint32_t>(strings.at(std::get<std::u16string>(id.value)))
                        : std::get<std::uint32_t>(id.value));
      const std::size_t target = d.targets[k];
      put32(out, entryAt + 4,
            d.path.size() < 2 ? highBit | static_cast<std::uint32_t>(directories[target].at)
                              : static_cast<std::uint32_t>(dataEntriesAt + dataEntrySize * target));
    }
  }
  for (const std::u16string* text : stringOrder) {
    const std::size_t at = strings.at(*text);
    const std::size_t units = std::min<std::size_t>(text->size(), 0xFFFF);
    put16(out, at, static_cast<std::uint16_t>(units));
    for (std::size_t u = 0; u < units; ++u) put16(out, at + 2 + 2 * u, static_cast<std::uint16_t>((*text)[u]));
  }
  for (std::size_t k = 0; k < leaves.size(); ++k) {
    const ResourceEntry& e = resources.entries[leaves[k]];
    const std::size_t at = dataEntriesAt + dataEntrySize * k;
    put32(out, at, static_cast<std::uint32_t>(dataAt[leaves[k]]));
    put32(out, at + 4, static_cast<std::uint32_t>(e.data.size()));
    put32(out, at + 8, e.codePage);
    put32(out, at + 12, e.reserved);
    std::copy(e.data.begin(), e.data.end(), out.begin() + static_cast<std::ptrdiff_t>(dataAt[leaves[k]]));
  }
  return {std::move(out), dataEntriesAt, leaves.size()};
}

void placeResources(ResourceSectionLayout& layout, std::uint32_t sectionRva) {
  for (std::size_t k = 0; k < layout.dataEntryCount; ++k) {
    const std::size_t at = layout.dataEntriesAt + dataEntrySize * k;
    const std::uint32_t offset = std::uint32_t{layout.bytes[at]} | (std::uint32_t{layout.bytes[at + 1]} << 8) |
                                 (std::uint32_t{layout.bytes[at + 2]} << 16) |
                                 (std::uint32_t{layout.bytes[at + 3]} << 24);
    put32(layout.bytes, at, offset + sectionRva);
  }
}

std::vector<std::uint8_t> layoutResourceSection(const ResourceTree& resources, std::uint32_t sectionRva) {
  ResourceSectionLayout layout = layOutResources(resources);
  placeResources(layout, sectionRva);
  return std::move(layout.bytes);
}

}  // namespace delvix::formats::pe
