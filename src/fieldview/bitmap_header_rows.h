#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "fieldview/table_builder.h"

// The read-only rows of the longer bitmap headers, after the 40-byte fields: colour masks, colour space,
// its end points and gamma, rendering intent and colour profile.
namespace delvix::fieldview {

// One row for each of these fields that the block holds whole.
void addLongHeaderRows(TableBuilder& table, std::span<const std::uint8_t> block);

// A colour space type as its four letters when it is a known one ("'sRGB'", "'Win '"), else as a number.
std::string colourSpaceText(std::uint32_t type);

}  // namespace delvix::fieldview
