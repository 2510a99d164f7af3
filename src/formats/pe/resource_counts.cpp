#include "formats/pe/resource_counts.h"

#include <algorithm>

#include "formats/pe/pe_image.h"
#include "formats/pe/resource_directory.h"

namespace delvix::formats::pe {

std::optional<ResourceCounts> countResources(Bytes file) {
  return countResources(std::make_shared<MemorySource>(file));
}

std::optional<ResourceCounts> countResources(std::shared_ptr<ByteSource> file) {
  std::string whyNot;
  return countResources(std::move(file), whyNot);
}

std::optional<ResourceCounts> countResources(std::shared_ptr<ByteSource> file, std::string& whyNot) {
  auto image = PeImage::parse(std::move(file), whyNot);
  if (!image) return std::nullopt;
  auto resources = ResourceDirectory::open(*image);
  if (!resources) return ResourceCounts{};
  auto count = [&](std::uint32_t type) {
    std::size_t resourcesOfType = 0;
    for (const model::ResourceName& name : resources->names(type))
      resourcesOfType += std::max<std::size_t>(resources->languages(type, name).size(), 1);
    return resourcesOfType;
  };
  return ResourceCounts{count(rtGroupIcon), count(rtGroupCursor), count(rtBitmap)};
}

}  // namespace delvix::formats::pe
