#include "formats/pe/resource_counts.h"

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
  return ResourceCounts{resources->names(rtGroupIcon).size(), resources->names(rtGroupCursor).size(),
                        resources->names(rtBitmap).size()};
}

}  // namespace delvix::formats::pe
