#include "fieldview/table_builder.h"

#include "formats/le_bytes.h"

namespace delvix::fieldview {

Rows::Rows(std::vector<Row> rows) : count_(rows.size()) {
  auto kept = std::make_shared<const std::vector<Row>>(std::move(rows));
  make_ = [kept](std::size_t index) { return kept->at(index); };
}

void TableBuilder::field(std::string caption, std::size_t offset, std::size_t width, Mark mark, std::string value,
                         ValueRange range) {
  if (!fits(offset, width)) {
    add(std::move(caption), {}, Mark::readOnly);
    return;
  }
  add(std::move(caption), std::move(value), mark);
  if (mark == Mark::editable) rows_.back().range = range;
}

void TableBuilder::u8(std::string caption, std::size_t offset, Mark mark) {
  field(std::move(caption), offset, 1, mark, fits(offset, 1) ? std::to_string(formats::le8(block_, offset)) : "",
        ranges::u8);
}

void TableBuilder::u16(std::string caption, std::size_t offset, Mark mark) {
  field(std::move(caption), offset, 2, mark, fits(offset, 2) ? std::to_string(formats::le16(block_, offset)) : "",
        ranges::u16);
}

void TableBuilder::u32(std::string caption, std::size_t offset, Mark mark) {
  field(std::move(caption), offset, 4, mark, fits(offset, 4) ? std::to_string(formats::le32(block_, offset)) : "",
        ranges::u32);
}

void TableBuilder::s32(std::string caption, std::size_t offset, Mark mark) {
  field(std::move(caption), offset, 4, mark, fits(offset, 4) ? std::to_string(formats::les32(block_, offset)) : "",
        ranges::s32);
}

void TableBuilder::fields(std::span<const BlockField> fields) {
  for (const BlockField& f : fields) {
    std::string caption(f.caption);
    switch (f.type) {
      case FieldType::u8: u8(std::move(caption), f.offset, f.mark); break;
      case FieldType::u16: u16(std::move(caption), f.offset, f.mark); break;
      case FieldType::u32: u32(std::move(caption), f.offset, f.mark); break;
      case FieldType::s32: s32(std::move(caption), f.offset, f.mark); break;
    }
  }
}

std::array<Column, 3> columns(std::string first, int firstWidth, std::string second, int secondWidth) {
  return {Column{std::move(first), firstWidth, {}, {}}, Column{std::move(second), secondWidth, {}, {}}, Column{}};
}

std::array<Column, 3> commonColumns() { return columns("Field", 120, "Data", 90); }

Listing clearedListing(std::optional<EditMode> mode, bool showEdit1) {
  Listing listing;
  listing.buttons.apply = listing.buttons.add = listing.buttons.remove = false;
  listing.buttons.next = listing.buttons.previous = false;
  listing.editMode = mode;
  if (showEdit1) listing.boxes.push_back({EditBox::edit1, {}, {}, {}});
  return listing;
}

}  // namespace delvix::fieldview
