#include <array>
#include <string_view>

#include "fieldview/apply.h"
#include "model/picture_index.h"

namespace delvix::fieldview {

namespace {

// The nodes whose editable rows Apply writes.
bool takesEdits(std::string_view name) {
  constexpr std::array<std::string_view, 10> names = {"sequence", "ani_header",  "image_info",   "bitm_info", "time",
                                                      "header",   "color_table", "color_bitmap", "hot_pot",   "fact"};
  for (std::string_view editable : names)
    if (name == editable) return true;
  // A "picture_" n node lists editable rows only in an X cursor file (its image header).
  return name.starts_with("icon_dir_") || model::pictureNumber(name).has_value();
}

}  // namespace

RowSelection selectRow(const model::Node& node, const Row& row, std::size_t rowCount) {
  RowSelection selection;
  selection.apply = row.mark == Mark::editable && takesEdits(node.name());
  selection.remove = node.name() == "sequence" && rowCount > 1;
  selection.edit1Text = row.value;
  return selection;
}

}  // namespace delvix::fieldview
