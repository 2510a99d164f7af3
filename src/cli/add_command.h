#pragma once

#include <span>
#include <string>

#include "cli/commands.h"

namespace delvix::cli {

inline constexpr std::string_view addArguments = "FILE OUT";

// add FILE OUT ...: what the Add chunks dialog adds — INFO items (ID as "IART"), a "rate" or "seq " table, a
// "fact" chunk, image N (from 1; the first by default) of the icon or cursor file SRC — then the file written
// as OUT.
int addChunks(const Invocation& call, Streams streams);

}  // namespace delvix::cli
