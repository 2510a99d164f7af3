#include "formats/riff/chunk_order.h"

#include <deque>
#include <map>

namespace delvix::formats::riff {

std::vector<const model::Node*> inFileOrder(const model::Node& parent, const std::vector<std::string>& fileOrder,
                                            const UsualRank& usualRank) {
  std::map<std::string_view, std::deque<const model::Node*>> unplaced;
  for (const auto& child : parent.children())
    if (usualRank(child->name())) unplaced[child->name()].push_back(child.get());

  std::vector<const model::Node*> ordered;
  std::vector<std::size_t> ranks;
  for (const std::string& name : fileOrder) {
    auto found = unplaced.find(name);
    if (found == unplaced.end() || found->second.empty()) continue;
    ordered.push_back(found->second.front());
    ranks.push_back(*usualRank(name));
    found->second.pop_front();
  }
  for (const auto& child : parent.children()) {
    auto found = unplaced.find(child->name());
    if (found == unplaced.end() || found->second.empty() || found->second.front() != child.get()) continue;
    found->second.pop_front();
    const std::size_t rank = *usualRank(child->name());
    std::size_t at = ordered.size();
    if (rank != keptAtTheEnd) {
      at = 0;
      for (std::size_t i = 0; i < ordered.size(); ++i)
        if (ranks[i] < rank) at = i + 1;
    }
    ordered.insert(ordered.begin() + static_cast<std::ptrdiff_t>(at), child.get());
    ranks.insert(ranks.begin() + static_cast<std::ptrdiff_t>(at), rank);
  }
  return ordered;
}

}  // namespace delvix::formats::riff
