#pragma once

#include <span>
#include <string>

#include "cli/commands.h"

namespace delvix::cli {

inline constexpr std::string_view setArguments = "FILE NODE ROW VALUE OUT";

// set FILE NODE ROW VALUE OUT: the field in row ROW (from 1) of NODE's table takes VALUE, as Apply does, and
// the file is written as OUT. On "sequence", ROW "add" adds a step showing frame VALUE and ROW "remove"
// removes step VALUE; an INFO item takes VALUE as its text whatever ROW says. A colour-table entry takes
// "res r g b" and a pixel row (counted over every page) the words of its boxes, as "a r g b mask" for 32 bits.
int setField(const Invocation& call, Streams streams);

// remove FILE NODE OUT: the part at NODE ("List_info", an INFO item, "fact", "time", "sequence", a kept chunk)
// taken out, the file written as OUT.
int removeNode(const Invocation& call, Streams streams);

}  // namespace delvix::cli
