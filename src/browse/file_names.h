#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace delvix::browse {

// `bytes` as valid UTF-8: every byte that does not start or continue a well-formed sequence becomes U+FFFD.
// File names on Linux are bytes; windows and terminals want text.
std::string displayText(std::string_view bytes);

// ASCII letters in lower case; other bytes as they are.
std::string lowerAscii(std::string_view text);
// A file's extension with its dot, in lower case (".wav"); empty when it has none.
std::string lowerExtension(const std::filesystem::path& file);

}  // namespace delvix::browse
