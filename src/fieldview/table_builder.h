#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fieldview/field_ranges.h"
#include "fieldview/icon_block_fields.h"
#include "fieldview/listing.h"
#include "model/node.h"

namespace delvix::fieldview {

// Collects the rows of a short table and reads the node's fields for them. A field that lies past the end
// of the block (a damaged file) is listed as an empty value, read-only.
class TableBuilder {
 public:
  explicit TableBuilder(std::span<const std::uint8_t> block = {}) : block_(block) {}

  void add(std::string caption, std::string value, Mark mark, std::optional<ValueRange> range = std::nullopt) {
    rows_.push_back({std::move(caption), std::move(value), {}, mark, {}, range});
  }
  void u8(std::string caption, std::size_t offset, Mark mark);
  void u16(std::string caption, std::size_t offset, Mark mark);
  void u32(std::string caption, std::size_t offset, Mark mark);
  void s32(std::string caption, std::size_t offset, Mark mark);
  // One row for each of `fields`.
  void fields(std::span<const BlockField> fields);

  Rows rows() { return Rows(std::move(rows_)); }

 private:
  bool fits(std::size_t offset, std::size_t width) const { return offset + width <= block_.size(); }
  void field(std::string caption, std::size_t offset, std::size_t width, Mark mark, std::string value,
             ValueRange range);

  std::span<const std::uint8_t> block_;
  std::vector<Row> rows_;
};

// The mark an edit setting gives: 0 editable, anything else read-only.
inline Mark markOfSetting(int setting) { return setting == 0 ? Mark::editable : Mark::readOnly; }

// "Field" 120, "Data" 90, hidden third column.
std::array<Column, 3> commonColumns();
std::array<Column, 3> columns(std::string first, int firstWidth, std::string second, int secondWidth);

// A listing that starts from a cleared view, with the given edit mode and `Edit1` shown.
Listing clearedListing(std::optional<EditMode> mode, bool showEdit1 = true);

}  // namespace delvix::fieldview
