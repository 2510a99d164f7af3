#pragma once

#include <cstddef>
#include <string>

#include "fieldview/apply.h"

// The edits Apply dispatches to, one per kind of table, and what they share.
namespace delvix::fieldview {

// The text of `box`; empty when the box is not there.
const std::string& boxText(const BoxTexts& texts, EditBox box);

ApplyResult refusedWith(std::string message);

// Row `row` of the table listed for `node` after an edit: the stored value as the listing shows it, marked
// editable, with the range of values the field takes.
std::pair<std::size_t, Row> changedRow(const model::Document& document, const model::Node& node, std::size_t row,
                                       ValueRange range);

// "icon_dir_" n, "image_info", "hot_pot" and "bitm_info": a number into the block's field.
ApplyResult applyBlockField(model::Document& document, model::Node& node, EditMode mode, std::size_t row,
                            const std::string& text);

// The tables of an animated cursor's state.
ApplyResult applyRate(model::Document& document, const model::Node& node, std::size_t row, const std::string& text);
ApplyResult applySequenceEntry(model::Document& document, const model::Node& node, std::size_t row,
                               const std::string& text);
ApplyResult applyAniHeader(model::Document& document, const model::Node& node, std::size_t row,
                           const std::string& text);

// An X cursor image's nominal size (with its table-of-contents entry), hot spot or delay.
ApplyResult applyXcursorImage(model::Document& document, model::Node& node, std::size_t row, const std::string& text);
// An X cursor comment's text, from `EditInfo`.
ApplyResult applyXcursorComment(model::Document& document, model::Node& node, const std::string& text);

// The text of an INFO item, from `EditInfo`.
ApplyResult applyInfoItem(model::Document& document, model::Node& node, const std::string& text);

}  // namespace delvix::fieldview
