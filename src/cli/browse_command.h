#pragma once

#include <span>
#include <string>
#include <string_view>

#include "cli/commands.h"

namespace delvix::cli {

// browse DIR [--images[=LIST]] [--wav]: the rows of the image browser (or with --wav the wave browser) for DIR,
// one listed file a line: its name, then its columns separated by tabs. Why a file could not be read goes to
// standard error as "NAME: reason". With DELVIX_REPORT_READ_BYTES set, the bytes the run read (rchar of
// /proc/self/io) are written to standard error at the end as "read bytes: N".
int browseFolder(const Invocation& call, Streams streams);

}  // namespace delvix::cli
