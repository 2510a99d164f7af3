#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/pe/resource_tree.h"

namespace delvix::formats::pe {

// A resource section laid out from offset 0: directories, name strings, data entries, data.
struct ResourceSectionLayout {
  std::vector<std::uint8_t> bytes;
  std::size_t dataEntriesAt = 0;
  std::size_t dataEntryCount = 0;
};

ResourceSectionLayout layOutResources(const ResourceTree& resources);
// Turns the data entries' section offsets into RVAs of a section placed at `sectionRva`.
void placeResources(ResourceSectionLayout& layout, std::uint32_t sectionRva);

}  // namespace delvix::formats::pe
