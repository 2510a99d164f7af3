#pragma once

#include <string>

namespace delvix::formats {

// Appends the UTF-8 encoding of one code point.
void appendUtf8(std::string& out, char32_t c);

}  // namespace delvix::formats
