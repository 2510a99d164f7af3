#pragma once

#include <string>

namespace delvix::fieldview {

// A playing time in seconds: 3 significant digits, trailing zeros and a bare decimal point dropped
// ("5.67", "120"), exponent notation from 1000 seconds on.
std::string playingTimeText(float seconds);

// A byte as "0x" and two upper-case hexadecimal digits.
std::string hexByteText(unsigned byte);

}  // namespace delvix::fieldview
