#pragma once

#include <span>
#include <string>

#include "cli/commands.h"

namespace delvix::cli {

// save IN OUT: IN written again with the writer that OUT's extension calls for.
int saveDocument(std::span<const std::string> args, Streams streams);
// extract FILE DIR: every picture of FILE as its own file in DIR.
int extractPictures(std::span<const std::string> args, Streams streams);

}  // namespace delvix::cli
