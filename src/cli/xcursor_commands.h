#pragma once

#include "cli/commands.h"

namespace delvix::cli {

// xcursor FILE OUT [--inverted=outline|transparent]: an icon file, cursor file or animated cursor written as
// an X11 cursor file.
int convertToXcursor(const Invocation& call, Streams streams);

// wincursor XCURSOR OUT [--sizes=LIST]: an X11 cursor file written as a Windows cursor (.cur) or, when it is
// animated, an animated cursor (.ani).
int convertToWindowsCursor(const Invocation& call, Streams streams);

}  // namespace delvix::cli
