#include "fieldview/row_lookup.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

namespace delvix::fieldview {

namespace {

bool sameCaption(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

std::string quotedList(const std::vector<std::string>& captions) {
  std::string text;
  for (const std::string& caption : captions) text += (text.empty() ? "\"" : ", \"") + caption + '"';
  return text;
}

}  // namespace

RowLookup findRow(const Listing& listing, std::string_view row) {
  std::size_t number = 0;
  const auto [end, error] = std::from_chars(row.data(), row.data() + row.size(), number);
  if (error == std::errc() && end == row.data() + row.size()) {
    if (number >= 1 && number <= listing.rows.size()) return {number - 1, {}};
    return {std::nullopt,
            "has no row " + std::string(row) + " (rows 1 to " + std::to_string(listing.rows.size()) + ")"};
  }
  std::vector<std::size_t> matches;
  std::vector<std::string> captions;
  const std::size_t searched = std::min(listing.rows.size(), captionRowsSearched);
  for (std::size_t i = 0; i < searched; ++i) {
    Row shown = listing.rows.at(i);
    if (sameCaption(shown.caption, row)) matches.push_back(i);
    captions.push_back(std::move(shown.caption));
  }
  if (matches.size() == 1) return {matches.front(), {}};
  if (matches.empty())
    return {std::nullopt, "has no row \"" + std::string(row) + "\"; its rows: " + quotedList(captions)};
  std::string rows;
  for (std::size_t index : matches) rows += (rows.empty() ? "" : ", ") + std::to_string(index + 1);
  return {std::nullopt, "has several rows \"" + std::string(row) + "\" (rows " + rows + "); give the row's number"};
}

}  // namespace delvix::fieldview
