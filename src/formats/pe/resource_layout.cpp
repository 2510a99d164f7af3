#include "formats/pe/resource_layout.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "formats/pe/module_rewriter.h"
#include "formats/pe/resource_format.h"

namespace delvix::formats::pe {

namespace {

using namespace resource_format;

std::size_t alignUp(std::size_t value, std::size_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

void put16(std::span<std::uint8_t> out, std::size_t at, std::uint16_t value) {
  out[at] = static_cast<std::uint8_t>(value);
  out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
void put32(std::span<std::uint8_t> out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

ResourceSectionPlan planResourceSection(const ResourceTree& resources) {
  ResourceSectionPlan plan;
  // The entries in directory order: types, then names, then languages.
  std::vector<std::size_t> order(resources.entries.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  auto key = [&](std::size_t i) {
    const ResourceEntry& e = resources.entries[i];
    return std::tie(e.type, e.name, e.language);
  };
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return key(a) < key(b); });

  // Sorted entries fill each directory in order: a new id is always the last one of its parent.
  auto& directories = plan.directories;
  directories.resize(1);
  auto child = [&](std::size_t parent, const ResourceId& id) {
    if (directories[parent].ids.empty() || !(directories[parent].ids.back() == id)) {
      std::vector<ResourceId> path = directories[parent].path;
      path.push_back(id);
      directories[parent].ids.push_back(id);
      directories[parent].targets.push_back(directories.size());
      directories.push_back({std::move(path), {}, {}, 0});
    }
    return directories[parent].targets.back();
  };
  for (std::size_t i : order) {
    const ResourceEntry& e = resources.entries[i];
    const std::size_t typeDirectory = child(0, e.type);
    const std::size_t nameDirectory = child(typeDirectory, e.name);
    ResourceSectionPlan::Directory& languages = directories[nameDirectory];
    const ResourceId language = ResourceId::number(e.language);
    if (!languages.ids.empty() && languages.ids.back() == language) continue;  // the same resource twice
    languages.ids.push_back(language);
    languages.targets.push_back(plan.leaves.size());
    plan.leaves.push_back(i);
  }
  plan.directoryOrder.push_back(0);
  for (std::size_t typeDirectory : directories[0].targets) {
    plan.directoryOrder.push_back(typeDirectory);
    for (std::size_t nameDirectory : directories[typeDirectory].targets) plan.directoryOrder.push_back(nameDirectory);
  }

  std::size_t size = 0;
  for (std::size_t index : plan.directoryOrder) {
    directories[index].at = size;
    size += directoryHeaderSize + directoryEntrySize * directories[index].ids.size();
  }
  std::map<std::u16string, std::size_t> seen;
  for (std::size_t index : plan.directoryOrder)
    for (const ResourceId& id : directories[index].ids)
      if (id.isName()) {
        const auto& text = std::get<std::u16string>(id.value);
        if (seen.try_emplace(text, size).second) {
          plan.strings.emplace_back(&text, size);
          size += 2 + 2 * std::min<std::size_t>(text.size(), 0xFFFF);
        }
      }
  plan.dataEntriesAt = size = alignUp(size, 8);
  size += dataEntrySize * plan.leaves.size();
  // The data in the tree's order, which is the order it had in the file.
  plan.dataAt.assign(resources.entries.size(), 0);
  std::vector<bool> written(resources.entries.size(), false);
  for (std::size_t leaf : plan.leaves) written[leaf] = true;
  for (std::size_t i = 0; i < resources.entries.size(); ++i) {
    if (!written[i]) continue;
    size = alignUp(size, 8);
    plan.dataAt[i] = size;
    size += resources.entries[i].data.size();
  }
  plan.size = alignUp(size, 8);
  return plan;
}

void writeResourceSection(const ResourceSectionPlan& plan, const ResourceTree& resources, std::uint32_t sectionRva,
                          std::span<std::uint8_t> out) {
  std::map<std::vector<ResourceId>, DirectoryStamp> stamps(resources.stamps.begin(), resources.stamps.end());
  std::map<std::u16string_view, std::size_t> strings;
  for (const auto& [text, at] : plan.strings) strings.emplace(*text, at);

  for (std::size_t index : plan.directoryOrder) {
    const ResourceSectionPlan::Directory& d = plan.directories[index];
    auto stamp = stamps.find(d.path);
    const DirectoryStamp s = d.path.empty() ? resources.root : stamp != stamps.end() ? stamp->second : DirectoryStamp{};
    put32(out, d.at, s.characteristics);
    put32(out, d.at + 4, s.timeDateStamp);
    put16(out, d.at + 8, s.majorVersion);
    put16(out, d.at + 10, s.minorVersion);
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
            d.path.size() < 2 ? highBit | static_cast<std::uint32_t>(plan.directories[target].at)
                              : static_cast<std::uint32_t>(plan.dataEntriesAt + dataEntrySize * target));
    }
  }
  for (const auto& [text, at] : plan.strings) {
    const std::size_t units = std::min<std::size_t>(text->size(), 0xFFFF);
    put16(out, at, static_cast<std::uint16_t>(units));
    for (std::size_t u = 0; u < units; ++u) put16(out, at + 2 + 2 * u, static_cast<std::uint16_t>((*text)[u]));
  }
  for (std::size_t k = 0; k < plan.leaves.size(); ++k) {
    const ResourceEntry& e = resources.entries[plan.leaves[k]];
    const std::size_t at = plan.dataEntriesAt + dataEntrySize * k;
    const std::size_t dataAt = plan.dataAt[plan.leaves[k]];
    put32(out, at, sectionRva + static_cast<std::uint32_t>(dataAt));
    put32(out, at + 4, static_cast<std::uint32_t>(e.data.size()));
    put32(out, at + 8, e.codePage);
    put32(out, at + 12, e.reserved);
    std::copy(e.data.begin(), e.data.end(), out.begin() + static_cast<std::ptrdiff_t>(dataAt));
  }
}

std::vector<std::uint8_t> layoutResourceSection(const ResourceTree& resources, std::uint32_t sectionRva) {
  const ResourceSectionPlan plan = planResourceSection(resources);
  std::vector<std::uint8_t> section(plan.size, 0);
  writeResourceSection(plan, resources, sectionRva, section);
  return section;
}

}  // namespace delvix::formats::pe
