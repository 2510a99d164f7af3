#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "formats/byte_reader.h"

namespace delvix::formats::riff {

// The text of an INFO item for display, up to its first zero byte: kept as it is when it is valid
// UTF-8, otherwise decoded from Windows-1252 (the code page most legacy writers used).
std::string infoText(Bytes data);

bool isValidUtf8(Bytes text);

// A UTF-8 text in Windows-1252, or nullopt when it is not valid UTF-8 or holds a character the code page
// does not have.
std::optional<std::string> windows1252Text(std::string_view utf8);

}  // namespace delvix::formats::riff
