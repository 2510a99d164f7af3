// Reads arbitrary bytes as a program module's resources, replaces its main icon group (or adds one) the way a
// change does, writes the module again and reads the result back: it must hold exactly the resources written.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <span>
#include <tuple>

#include "formats/module_reader.h"
#include "formats/pe/module_rewriter.h"
#include "formats/pe/resource_directory.h"
#include "model/document.h"

namespace {

using namespace delvix::formats::pe;

// The same resources; in the same order but for empty ones, whose place among the data no offset tells.
bool sameEntries(const ResourceTree& a, const ResourceTree& b) {
  auto sorted = [](const ResourceTree& tree) {
    std::vector<const ResourceEntry*> entries;
    for (const ResourceEntry& e : tree.entries) entries.push_back(&e);
    std::stable_sort(entries.begin(), entries.end(), [](const ResourceEntry* x, const ResourceEntry* y) {
      return std::tie(x->type, x->name, x->language) < std::tie(y->type, y->name, y->language);
    });
    return entries;
  };
  const auto x = sorted(a), y = sorted(b);
  if (x.size() != y.size()) return false;
  for (std::size_t i = 0; i < x.size(); ++i)
    if (!(x[i]->type == y[i]->type && x[i]->name == y[i]->name && x[i]->language == y[i]->language &&
          x[i]->codePage == y[i]->codePage && x[i]->reserved == y[i]->reserved && x[i]->data == y[i]->data))
      return false;
  return true;
}

// A one-picture icon group under the first icon group's name, its picture under a new id.
void replaceMainIcon(ResourceTree& tree) {
  const ResourceId groupType = ResourceId::number(rtGroupIcon);
  const ResourceId iconType = ResourceId::number(rtIcon);
  std::set<std::uint32_t> used;
  for (const ResourceEntry& e : tree.entries)
    if (e.type == iconType && !e.name.isName()) used.insert(std::get<std::uint32_t>(e.name.value));
  std::uint32_t freeId = 1;
  while (used.count(freeId)) ++freeId;
  const std::vector<std::uint8_t> picture(40, 7);
  const std::vector<std::uint8_t> group{0,
                                        0,
                                        1,
                                        0,
                                        1,
                                        0,
                                        16,
                                        16,
                                        0,
                                        0,
                                        1,
                                        0,
                                        32,
                                        0,
                                        40,
                                        0,
                                        0,
                                        0,
                                        static_cast<std::uint8_t>(freeId),
                                        static_cast<std::uint8_t>(freeId >> 8)};
  const auto names = tree.names(groupType);
  const ResourceId name = names.empty() ? ResourceId::number(1) : names.front();
  auto existing = tree.find(groupType, name);
  if (existing.empty())
    tree.entries.push_back({groupType, name, 0, 0, 0, group});
  else
    existing.front()->data = group;
  tree.entries.push_back({iconType, ResourceId::number(freeId), 0, 0, 0, picture});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  std::string why;
  auto image = PeImage::parse(bytes, why);
  if (!image) return 0;
  auto tree = readResourceTree(*image, why);
  if (!tree) return 0;
  replaceMainIcon(*tree);
  for (bool strip : {false, true}) {
    auto result = rewriteResources(bytes, *tree, RewriteOptions{strip}, why);
    if (!result) continue;
    auto back = PeImage::parse(std::span<const std::uint8_t>(result->bytes), why);
    if (!back) __builtin_trap();
    auto reread = readResourceTree(*back, why);
    if (!reread || !sameEntries(*tree, *reread)) __builtin_trap();
    if (strip && isSigned(*back)) __builtin_trap();
    delvix::model::Document document;
    delvix::formats::RecordingReporter reporter;
    delvix::formats::readModule(result->bytes, document, {}, {}, reporter);
  }
  return 0;
}
