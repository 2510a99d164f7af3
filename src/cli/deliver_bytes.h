#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "formats/reporter.h"

namespace delvix::cli {

// Writes `bytes` to `target` through the safe save, or to standard output for "-"; the exit status.
int deliverBytes(const std::string& target, std::vector<std::uint8_t> bytes, Streams streams,
                 formats::Reporter& reporter);

}  // namespace delvix::cli
