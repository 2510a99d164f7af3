#include "fieldview/number_text.h"

#include <limits>

namespace delvix::fieldview {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<std::int64_t> numberInText(std::string_view text, bool signedField) {
  text = trimmed(text);
  const bool negative = signedField && !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max();
  std::int64_t magnitude = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const int digit = c - '0';
    magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
  }
  return negative ? -magnitude : magnitude;
}

std::optional<std::int64_t> numberInRange(std::string_view text, ValueRange range) {
  auto value = numberInText(text, range.min < 0);
  if (!value || !range.contains(*value)) return std::nullopt;
  return value;
}

std::string notANumberMessage(std::string_view text, ValueRange range) {
  return "\"" + std::string(text) + "\" is not a number from " + std::to_string(range.min) + " to " +
         std::to_string(range.max) + ".";
}

}  // namespace delvix::fieldview
