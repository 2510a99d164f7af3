#pragma once

#include <span>
#include <string>

#include "cli/commands.h"

namespace delvix::cli {

// fields FILE [NODE]: the field table of the node at the path NODE ("picture_1/bitm_info"), one row a line
// (the columns' texts and "rw" or "ro", tab-separated); without NODE every node's table under its path.
int printFields(const Invocation& call, Streams streams);

}  // namespace delvix::cli
