#pragma once

#include <optional>

#include "formats/byte_reader.h"

namespace delvix::formats::pe {

struct ResourceCounts {
  std::size_t iconGroups = 0;
  std::size_t cursorGroups = 0;
  std::size_t bitmaps = 0;
};

// The numbers of names of RT_GROUP_ICON, RT_GROUP_CURSOR and RT_BITMAP resources; nullopt when
// `file` is not a module (a module without resources has none of each).
std::optional<ResourceCounts> countResources(Bytes file);

}  // namespace delvix::formats::pe
