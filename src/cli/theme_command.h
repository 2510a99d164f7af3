#pragma once

#include "cli/commands.h"

namespace delvix::cli {

// theme DIR OUT_DIR [--to linux|windows] [--replace]: a Windows cursor folder (with or without install.inf)
// as a freedesktop cursor theme, or a freedesktop theme as a Windows folder with install.inf; the direction
// from what DIR holds unless --to says. Each cursor written is printed; files no role takes, roles without a
// cursor and cursors that failed go to standard error. Exit status 1 when anything failed or was refused.
int convertTheme(const Invocation& call, Streams streams);

}  // namespace delvix::cli
