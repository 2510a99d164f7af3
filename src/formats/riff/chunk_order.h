#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/node.h"

namespace delvix::formats::riff {

// Where a node's chunk usually stands among its siblings: a rank (smaller comes first), keptAtTheEnd for
// one that goes after all the others, nullopt for a node that is not written as a chunk.
using UsualRank = std::function<std::optional<std::size_t>(std::string_view name)>;
inline constexpr std::size_t keptAtTheEnd = std::numeric_limits<std::size_t>::max();

// The children of `parent` that are written as chunks, in the order the file held them (`fileOrder`:
// node names in file order; a name that appears twice stands for the next node of that name). A node
// the file did not have goes right after the last one placed that usually comes before it, or at the
// end for keptAtTheEnd.
std::vector<const model::Node*> inFileOrder(const model::Node& parent, const std::vector<std::string>& fileOrder,
                                            const UsualRank& usualRank);

}  // namespace delvix::formats::riff
