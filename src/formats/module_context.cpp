#include "formats/module_context.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>

namespace delvix::formats::module {

std::string displayName(const model::ResourceName& name) {
  if (const auto* id = std::get_if<std::uint32_t>(&name)) return std::to_string(*id);
  return std::get<std::string>(name);
}

std::string languageSuffix(const pe::ResourceLanguage& language) {
  return language.first || !language.id ? std::string() : "_" + std::to_string(*language.id);
}

pe::ResourceLanguage languageOf(const model::Node& resourceNode) {
  // The label is the last bracket: a resource's own name may hold text that looks like one.
  const std::string& name = resourceNode.name();
  const std::size_t open = name.rfind(" [");
  if (open == std::string::npos || !name.ends_with(']')) return {};
  const std::string_view label = std::string_view(name).substr(open + 2, name.size() - open - 3);
  const std::size_t kind = label.find('_'), language = label.rfind('_');
  if (kind == language) return {};
  std::uint32_t id = 0;
  const char* end = label.data() + label.size();
  const auto [parsed, error] = std::from_chars(label.data() + language + 1, end, id);
  if (error != std::errc() || parsed != end) return {};
  return {id, false};
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
