#pragma once

#include <span>
#include <string>

#include "cli/commands.h"

namespace delvix::cli {

// info FILE: the main numbers of a wave file, an animated cursor, an icon or cursor file, or a module.
int printInfo(std::span<const std::string> args, Streams streams);

// A playing time as the field tables show it: 3 significant digits, trailing zeros and a bare decimal
// point dropped ("5.67", "120"), exponent notation from 1000 seconds on.
std::string playingTimeText(float seconds);

}  // namespace delvix::cli
