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

}  // namespace delvix::model
