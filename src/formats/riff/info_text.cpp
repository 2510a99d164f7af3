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

// The length of the UTF-8 sequence a lead byte starts; 0 for a byte that starts none.
std::size_t sequenceLength(std::uint8_t lead) {
  if (lead < 0x80) return 1;
  if (lead == 0xC0 || lead == 0xC1 || lead > 0xF4) return 0;
  if ((lead >> 5) == 0x6) return 2;
  if ((lead >> 4) == 0xE) return 3;
  if ((lead >> 3) == 0x1E) return 4;
  return 0;
}

// The byte of a character other than U+0000 in Windows-1252.
std::optional<std::uint8_t> windows1252Byte(char32_t c) {
  if (c == 0) return std::nullopt;
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<std::uint8_t>(c);
  auto found = std::find(windows1252High.begin(), windows1252High.end(), c);
  if (found == windows1252High.end()) return std::nullopt;
  return static_cast<std::uint8_t>(0x80 + (found - windows1252High.begin()));
}

}  // namespace

bool isValidUtf8(Bytes text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t length = sequenceLength(text[i]);
    if (length == 0 || text.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((text[i + k] & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

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

std::optional<std::string> windows1252Text(std::string_view utf8) {
  Bytes bytes(reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size());
  if (!isValidUtf8(bytes)) return std::nullopt;
  std::string out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t length = sequenceLength(bytes[i]);
    char32_t c = length == 1 ? bytes[i] : bytes[i] & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (bytes[i + k] & 0x3F);
    auto byte = windows1252Byte(c);
    if (!byte) return std::nullopt;
    out += static_cast<char>(*byte);
    i += length;
  }
  return out;
}

}  // namespace delvix::formats::riff
