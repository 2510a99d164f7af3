#pragma once

#include <functional>
#include <span>
#include <string>

#include "cli/commands.h"

namespace delvix::cli {

using OneFile = std::function<int(const std::string& file, Streams streams)>;

// Runs `one` for each of `files`, going on after a failure. One file prints as `one` prints it; with several,
// each file's text follows a line "FILE:" (a blank line between files), and under --json the documents
// `one` prints become the elements of one array. The status is exitOk when every file was done.
int forEachFile(std::span<const std::string> files, Streams streams, const OneFile& one);

}  // namespace delvix::cli
