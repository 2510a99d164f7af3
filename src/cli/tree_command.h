#pragma once

#include "cli/commands.h"

namespace delvix::cli {

// tree FILE...: each file's structure tree, a node a line indented two spaces a level (or as JSON).
int printTrees(const Invocation& call, Streams streams);

// thumbnails FILE DIR: every picture's thumbnail as DIR/picture_N.png.
int writeThumbnails(const Invocation& call, Streams streams);

}  // namespace delvix::cli
