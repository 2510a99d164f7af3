#pragma once

#include <span>
#include <string>

#include "cli/commands.h"

namespace delvix::cli {

// info FILE...: the main numbers of each wave file, animated cursor, icon or cursor file, or module.
int printInfos(const Invocation& call, Streams streams);
// The main numbers of one file.
int printInfo(const std::string& path, Streams streams);

// A playing time as the field tables show it: 3 significant digits, trailing zeros and a bare decimal
// point dropped ("5.67", "120"), exponent notation from 1000 seconds on.
std::string playingTimeText(float seconds);

}  // namespace delvix::cli
