#include "model/picture_index.h"

#include <charconv>

namespace delvix::model {

std::string pictureName(int number) { return std::string(picturePrefix) + std::to_string(number); }

std::optional<int> pictureNumber(std::string_view name) {
  if (!name.starts_with(picturePrefix)) return std::nullopt;
  std::string_view digits = name.substr(picturePrefix.size());
  if (digits.empty() || digits.front() == '0') return std::nullopt;
  int value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc{} || end != digits.data() + digits.size() || value < 1) return std::nullopt;
  return value;
}

std::optional<int> pictureIndexOf(const Node& node) {
  if (auto number = pictureNumber(node.name())) return *number - 1;
  if (node.parent())
    if (auto number = pictureNumber(node.parent()->name())) return *number - 1;
  return std::nullopt;
}

}  // namespace delvix::model
