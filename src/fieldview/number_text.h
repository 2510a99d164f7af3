#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fieldview/listing.h"

namespace delvix::fieldview {

// The whole number an edit box holds: decimal digits, a leading "-" only when `signedField`, blanks around
// them ignored. Numbers too long for 64 bits read as the nearest 64-bit limit, so that every range check
// refuses them. nullopt for anything else (an empty box, letters, a sign alone).
std::optional<std::int64_t> numberInText(std::string_view text, bool signedField);

// The number in `text` when it is one that `range` holds; nullopt otherwise.
std::optional<std::int64_t> numberInRange(std::string_view text, ValueRange range);

// "\"abc\" is not a number from 0 to 65535." with the text as typed.
std::string notANumberMessage(std::string_view text, ValueRange range);

}  // namespace delvix::fieldview
