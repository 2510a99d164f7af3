#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "fieldview/listing.h"

namespace delvix::fieldview {

// Where a ROW given by the user lies in a field table: its zero-based index, or why there is none.
struct RowLookup {
  std::optional<std::size_t> index;
  std::string problem;
};

// ROW as a number counted from 1, or as the caption the table shows ("HotPot X"), matched without regard to
// case. A caption that names several rows, or none, is refused with the candidates named. Only the first
// `captionRowsSearched` rows are searched by caption, so a table of millions of samples is not walked.
inline constexpr std::size_t captionRowsSearched = 4096;
RowLookup findRow(const Listing& listing, std::string_view row);

}  // namespace delvix::fieldview
