#include <array>
#include <utility>

#include "fieldview/apply_edits.h"
#include "fieldview/pixel_items.h"
#include "fieldview/pixel_table.h"
#include "fieldview/tables.h"
#include "formats/le_bytes.h"
#include "model/picture_index.h"

namespace delvix::fieldview {

ApplyResult applyColourTableRow(model::Document& /*document*/, model::Node& colourTable, std::size_t row,
                                const BoxTexts& texts) {
  const model::Node* info = pixels::siblingBefore(colourTable, "bitm_info");
  if (colourTable.name() != "color_table" || !info || info->block().size() < 20) return {};
  if (formats::le32(info->block(), 16) != 0)
    return refusedWith("You cannot edit the color table for this bitmap. It 'Compression' value isn't 0.");
  const model::Block& block = std::as_const(colourTable).block();
  const std::size_t entries =
      block.size() < 4 ? 0 : std::min<std::size_t>(formats::le32(block, 0), block.size() - 4) / 4;
  if (row >= entries) return {};

  ApplyResult result;
  std::vector<int> values;  // reserved, red, green, blue
  if (auto refusal = pixels::readNumbers(texts, {EditBox::editRes, EditBox::editR, EditBox::editG, EditBox::editB}, 255,
                                         values, result.shownBoxes))
    return refusedWith(*refusal);
  std::array<std::uint8_t, 4> entry{};  // blue, green, red, reserved
  for (std::size_t i = 0; i < 4; ++i) entry[3 - i] = static_cast<std::uint8_t>(values[i]);
  colourTable.writeBytes(4 + 4 * row, entry);

  result.kind = ApplyResult::Kind::applied;
  const Listing listed = listColourTable(colourTable, {.editTable = 0});
  if (row < listed.rows.size()) result.changedRows.emplace_back(row, listed.rows.at(row));
  result.redrawnPicture = model::pictureIndexOf(colourTable);
  return result;
}

}  // namespace delvix::fieldview
