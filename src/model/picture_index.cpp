#include "model/picture_index.h"

#include <charconv>

namespace delvix::model {

std::string pictureName(int number) { return std::string(picturePrefix) + std::to_string(number); }

std::optional<int> pictureNumber(std::string_view name) { return numberAfter(picturePrefix, name); }

std::optional<int> numberAfter(std::string_view prefix, std::string_view name) {
  if (!name.starts_with(prefix)) return std::nullopt;
  std::string_view digits = name.substr(prefix.size());
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

Node* findNumberedChild(const Node& parent, std::string_view prefix, int number) {
  std::string name = std::string(prefix) + std::to_string(number);
  if (parent.childCount() > 0)
    if (auto firstNumber = numberAfter(prefix, parent.child(0).name()); firstNumber && number >= *firstNumber) {
      const auto position = static_cast<std::size_t>(number - *firstNumber);
      if (position < parent.childCount() && parent.child(position).name() == name) return &parent.child(position);
    }
  return parent.findChild(name);
}

}  // namespace delvix::model
