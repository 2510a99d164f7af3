#include "model/info_items.h"

namespace delvix::model {

const std::array<InfoItem, 23>& infoItems() {
  static constexpr std::array<InfoItem, 23> items{{
      {"IARL", "archival location"}, {"IART", "artist"},        {"ICMS", "commissioned"},
      {"ICMT", "comments"},          {"ICOP", "copyright"},     {"ICRD", "date"},
      {"ICRP", "cropped"},           {"IDIM", "dimensions"},    {"IDPI", "dots per inch"},
      {"IENG", "engineer"},          {"IGNR", "genre"},         {"IKEY", "keywords"},
      {"ILGT", "lightness"},         {"IMED", "medium"},        {"INAM", "name"},
      {"IPLT", "palette setting"},   {"IPRD", "product"},       {"ISBJ", "subject"},
      {"ISFT", "software"},          {"ISHP", "sharpness"},     {"ISRC", "source"},
      {"ISRF", "source form"},       {"ITCH", "technician"},
  }};
  return items;
}

std::optional<std::size_t> infoPositionById(std::string_view id) {
  const auto& items = infoItems();
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i].id == id) return i;
  return std::nullopt;
}

std::optional<std::size_t> infoPositionByDescription(std::string_view description) {
  const auto& items = infoItems();
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i].description == description) return i;
  return std::nullopt;
}

bool isInfoDescription(std::string_view name) { return infoPositionByDescription(name).has_value(); }

}  // namespace delvix::model
