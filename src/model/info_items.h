#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace delvix::model {

// One RIFF INFO identifier and the description that names its node.
struct InfoItem {
  std::string_view id;
  std::string_view description;
};

// The 23 INFO items in the order in which readers look them up and writers write them.
const std::array<InfoItem, 23>& infoItems();

std::optional<std::size_t> infoPositionById(std::string_view id);
std::optional<std::size_t> infoPositionByDescription(std::string_view description);
bool isInfoDescription(std::string_view name);

}  // namespace delvix::model
