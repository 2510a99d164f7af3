#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace delvix::testing {

// The whole content of a regular file, or nullopt when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> readFileBytes(const std::filesystem::path& path);

}  // namespace delvix::testing
