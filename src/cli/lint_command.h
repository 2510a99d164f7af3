#pragma once

#include "cli/commands.h"

namespace delvix::cli {

// lint DIR: the faults and warnings of the cursor theme in DIR, one a line after a summary line, or as JSON.
// Exit status 1 when there is a fault or DIR is no cursor theme.
int lintTheme(const Invocation& call, Streams streams);

}  // namespace delvix::cli
