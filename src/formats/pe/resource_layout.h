#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "formats/pe/resource_tree.h"

namespace delvix::formats::pe {

// Where everything of a resource section goes, from its offset 0: the directories (the root, then each type's
// directory followed by its names' directories, as resource compilers write them), the name strings, the data
// entries, the data, each datum aligned to 8. Made without copying any data, so that a writer knows the size
// before it chooses where the section goes.
struct ResourceSectionPlan {
  struct Directory {
    std::vector<ResourceId> path;  // the ids that lead to it: none for the root
    std::vector<ResourceId> ids;   // its entries, in stored order
    // What each entry leads to: a directory (an index into `directories`), or for a name's directory a data
    // entry (an index into `leaves`).
    std::vector<std::size_t> targets;
    std::size_t at = 0;
  };
  std::vector<Directory> directories;
  std::vector<std::size_t> directoryOrder;
  std::vector<std::pair<const std::u16string*, std::size_t>> strings;  // each name once, with its offset
  std::vector<std::size_t> leaves;                                     // the tree's entries in data entry order
  std::vector<std::size_t> dataAt;                                     // by tree entry: the offset of its data
  std::size_t dataEntriesAt = 0;
  std::size_t size = 0;
};

ResourceSectionPlan planResourceSection(const ResourceTree& resources);
// Writes the section `plan` was made for into `target` (plan.size bytes, zero-filled), placed at `sectionRva`.
void writeResourceSection(const ResourceSectionPlan& plan, const ResourceTree& resources, std::uint32_t sectionRva,
                          std::span<std::uint8_t> target);

}  // namespace delvix::formats::pe
