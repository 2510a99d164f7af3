#pragma once

#include <span>
#include <string>

#include "cli/commands.h"

namespace delvix::cli {

// Finds the verb among `args`, parses the rest against its options and the common ones, checks the operands
// and the file it is to write, and runs it. Every usage error names what was wrong and points to VERB --help.
int runParsedCommandLine(std::span<const std::string> args, Streams streams);

}  // namespace delvix::cli
