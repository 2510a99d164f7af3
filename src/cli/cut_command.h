#pragma once

#include <span>
#include <string>

#include "cli/commands.h"

namespace delvix::cli {

inline constexpr std::string_view cutArguments = "FILE FROM TO OUT";

// cut FILE FROM TO OUT: sample frames FROM to TO (both included, counted from 0) of a PCM wave file are
// removed from every channel, as Delete between the two red lines does, and the file is written as OUT.
int cutWaveFrames(const Invocation& call, Streams streams);

}  // namespace delvix::cli
