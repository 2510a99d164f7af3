#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace delvix::cli {

// One run of the command line, with what it printed.
struct CliRun {
  std::ostringstream out, err;
  int status;
  explicit CliRun(std::vector<std::string> args) { status = runCommandLine(args, {out, err}); }
};

}  // namespace delvix::cli
