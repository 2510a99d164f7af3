#pragma once

#include "formats/module_context.h"

namespace delvix::formats::module {

enum class GroupKind { icon, cursor };

inline constexpr std::size_t groupHeaderSize = 6;
inline constexpr std::size_t groupEntrySize = 14;
inline constexpr std::size_t hotSpotSize = 4;

// Adds "header" with its "icon_dir_" n entries and one "picture_" n per entry under `resourceNode`,
// and one picture entry per picture node. The image count grows by the number of picture nodes.
void expandGroup(Context& context, model::Node& resourceNode, GroupKind kind);

}  // namespace delvix::formats::module
