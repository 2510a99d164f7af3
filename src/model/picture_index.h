#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/node.h"

namespace delvix::model {

inline constexpr std::string_view picturePrefix = "picture_";

std::string pictureName(int number);
// The number of a "picture_" n name (n >= 1, decimal, no leading zeros); nullopt for other names.
std::optional<int> pictureNumber(std::string_view name);
// The zero-based picture index of a node that is a "picture_" n node or a child of one.
std::optional<int> pictureIndexOf(const Node& node);

// The number in a `prefix` n name (n >= 1, decimal, no leading zeros); nullopt for other names.
std::optional<int> numberAfter(std::string_view prefix, std::string_view name);
// The child of `parent` named `prefix` n. Children numbered in a run from the first one on ("icon_dir_5",
// "icon_dir_6", ...) are found without a scan; any other order is searched.
Node* findNumberedChild(const Node& parent, std::string_view prefix, int number);

}  // namespace delvix::model
