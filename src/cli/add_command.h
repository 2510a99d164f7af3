#pragma once

#include <span>
#include <string>

#include "cli/commands.h"

namespace delvix::cli {

inline constexpr const char* addArguments = "FILE OUT [--info=ID:TEXT]... [--rate] [--seq] [--fact] [--image=SRC[:N]]";

// add FILE OUT ...: what the Add chunks dialog adds — INFO items (ID as "IART"), a "rate" or "seq " table, a
// "fact" chunk, image N (from 1; the first by default) of the icon or cursor file SRC — then the file written
// as OUT.
int addChunks(std::span<const std::string> args, Streams streams);

}  // namespace delvix::cli
