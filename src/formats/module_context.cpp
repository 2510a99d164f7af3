#include "formats/module_context.h"

#include <algorithm>
#include <utility>

namespace delvix::formats::module {

std::string displayName(const model::ResourceName& name) {
  if (const auto* id = std::get_if<std::uint32_t>(&name)) return std::to_string(*id);
  return std::get<std::string>(name);
}

std::string nodeName(const model::ResourceName& name) {
  if (const auto* id = std::get_if<std::uint32_t>(&name)) return std::to_string(*id) + "!num!";
  return std::get<std::string>(name);
}

std::size_t Context::takePictures(std::size_t wanted) {
  const auto taken = static_cast<std::size_t>(std::min<std::uint64_t>(wanted, picturesLeft));
  picturesLeft -= taken;
  return taken;
}

void Context::stored(const model::Node& picture) {
  std::uint64_t bytes = picture.block().size();
  for (const auto& child : picture.children()) bytes += std::as_const(*child).block().size();
  storeBudget -= std::min(bytes, storeBudget);
}

std::string overBudget(const std::string& label) {
  return label + ": not read; the module asks for more image data than it holds.";
}

bool reportLookup(const pe::ResourceData& data, const std::string& prefix, Reporter& reporter) {
  switch (data.status) {
    case pe::LookupStatus::found: return true;
    case pe::LookupStatus::notFound: reporter.log(prefix + " Didn't find such resource."); break;
    case pe::LookupStatus::unloadable: reporter.log(prefix + " Cannot load this resource."); break;
    case pe::LookupStatus::unlockable: reporter.log(prefix + " Could not lock this resource."); break;
  }
  return false;
}

}  // namespace delvix::formats::module
