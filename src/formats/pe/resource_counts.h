#pragma once

#include <memory>
#include <optional>
#include <string>

#include "formats/byte_reader.h"
#include "formats/byte_source.h"

namespace delvix::formats::pe {

struct ResourceCounts {
  std::size_t iconGroups = 0;
  std::size_t cursorGroups = 0;
  std::size_t bitmaps = 0;
};

// The numbers of RT_GROUP_ICON, RT_GROUP_CURSOR and RT_BITMAP resources, each language of a name counted; nullopt when
// `file` is not a module (a module without resources has none of each).
std::optional<ResourceCounts> countResources(Bytes file);
// The same from a source that reads only what is asked for (a FileSource): the headers and the resource
// directory, never the resources' data.
std::optional<ResourceCounts> countResources(std::shared_ptr<ByteSource> file);
// The same, with why `file` is not a module when it is not.
std::optional<ResourceCounts> countResources(std::shared_ptr<ByteSource> file, std::string& whyNot);

}  // namespace delvix::formats::pe
