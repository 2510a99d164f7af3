#pragma once

#include <string>

#include "formats/byte_reader.h"

namespace delvix::formats::riff {

// The text of an INFO item for display, up to its first zero byte: kept as it is when it is valid
// UTF-8, otherwise decoded from Windows-1252 (the code page most legacy writers used).
std::string infoText(Bytes data);

}  // namespace delvix::formats::riff
