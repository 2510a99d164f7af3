#pragma once

#include <string>

#include "formats/byte_reader.h"

namespace delvix::formats::pe {

// UTF-16LE code units to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(Bytes utf16);

}  // namespace delvix::formats::pe
