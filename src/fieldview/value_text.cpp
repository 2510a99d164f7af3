#include "fieldview/value_text.h"

#include <array>
#include <cstdio>

namespace delvix::fieldview {

std::string playingTimeText(float seconds) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%.3g", static_cast<double>(seconds));
  return text.data();
}

std::string hexByteText(unsigned byte) {
  static constexpr char digits[] = "0123456789ABCDEF";
  return {'0', 'x', digits[(byte >> 4) & 0xF], digits[byte & 0xF]};
}

}  // namespace delvix::fieldview
