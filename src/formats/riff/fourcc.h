#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace delvix::formats::riff {

// A four-character code as it reads in the file: the first character is the low byte.
using FourCC = std::uint32_t;

constexpr FourCC fourcc(char a, char b, char c, char d) {
  return FourCC{static_cast<std::uint8_t>(a)} | (FourCC{static_cast<std::uint8_t>(b)} << 8) |
         (FourCC{static_cast<std::uint8_t>(c)} << 16) | (FourCC{static_cast<std::uint8_t>(d)} << 24);
}

// The code of up to four characters, blank-padded: "fmt" gives "fmt ". Longer texts are cut to four.
constexpr FourCC fourccFromString(std::string_view text) {
  char c[4] = {' ', ' ', ' ', ' '};
  for (std::size_t i = 0; i < 4 && i < text.size(); ++i) c[i] = text[i];
  return fourcc(c[0], c[1], c[2], c[3]);
}

// The four characters as they are stored.
inline std::string fourccText(FourCC code) {
  std::string text(4, ' ');
  for (int i = 0; i < 4; ++i) text[static_cast<std::size_t>(i)] = static_cast<char>((code >> (8 * i)) & 0xFF);
  return text;
}

// The code for names and messages: trailing blanks dropped, bytes outside printable ASCII as \xNN.
std::string printableFourcc(FourCC code);

inline constexpr FourCC riffId = fourcc('R', 'I', 'F', 'F');
inline constexpr FourCC listId = fourcc('L', 'I', 'S', 'T');
// The form of wave files with 64-bit sizes: "RF64", its real sizes in a "ds64" chunk.
inline constexpr FourCC rf64Id = fourcc('R', 'F', '6', '4');
// The big-endian form: every size and number of the RIFF layer stored with its high byte first.
inline constexpr FourCC rifxId = fourcc('R', 'I', 'F', 'X');

}  // namespace delvix::formats::riff
