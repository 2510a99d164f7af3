#include "formats/pe/utf16.h"

#include "formats/utf8.h"

namespace delvix::formats::pe {

std::string utf16ToUtf8(Bytes utf16) {
  constexpr char32_t replacement = 0xFFFD;
  std::string out;
  out.reserve(utf16.size() / 2);
  const std::size_t units = utf16.size() / 2;
  auto unit = [&](std::size_t i) { return static_cast<char32_t>(utf16[2 * i] | (utf16[2 * i + 1] << 8)); };
  for (std::size_t i = 0; i < units; ++i) {
    char32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = replacement;
    }
    appendUtf8(out, c);
  }
  return out;
}

}  // namespace delvix::formats::pe
