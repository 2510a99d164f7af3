#include "formats/riff/info_text.h"

#include <algorithm>
#include <array>

#include "formats/utf8.h"

namespace delvix::formats::riff {

namespace {

// Code points of 0x80 to 0x9F in Windows-1252; 0 where the code page leaves the byte undefined.
constexpr std::array<char32_t, 32> windows1252High{0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                                   0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool isValidUtf8(Bytes text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::uint8_t lead = text[i];
    std::size_t length = lead < 0x80           ? 1
                         : (lead >> 5) == 0x6  ? 2
                         : (lead >> 4) == 0xE  ? 3
                         : (lead >> 3) == 0x1E ? 4
                                               : 0;
    if (length == 0 || lead == 0xC0 || lead == 0xC1 || lead > 0xF4 || text.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((text[i + k] & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

}  // namespace

std::string infoText(Bytes data) {
  Bytes text = data.first(static_cast<std::size_t>(std::find(data.begin(), data.end(), 0) - data.begin()));
  if (isValidUtf8(text)) return std::string(text.begin(), text.end());
  std::string out;
  for (std::uint8_t byte : text) {
    char32_t c = byte;
    if (byte >= 0x80 && byte < 0xA0) c = windows1252High[byte - 0x80] ? windows1252High[byte - 0x80] : 0xFFFD;
    appendUtf8(out, c);
  }
  return out;
}

}  // namespace delvix::formats::riff
