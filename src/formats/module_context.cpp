#include "formats/module_context.h"

namespace delvix::formats::module {

std::string displayName(const model::ResourceName& name) {
  if (const auto* id = std::get_if<std::uint32_t>(&name)) return std::to_string(*id);
  return std::get<std::string>(name);
}

std::string nodeName(const model::ResourceName& name) {
  if (const auto* id = std::get_if<std::uint32_t>(&name)) return std::to_string(*id) + "!num!";
  return std::get<std::string>(name);
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
