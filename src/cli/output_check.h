#pragma once

#include <optional>
#include <string>

namespace delvix::cli {

// Why `path` cannot take the one file a verb writes, before any work is done: a folder, a folder that is not
// there, an extension no writer makes. With `folderAllowed` (a module saved as a folder of its groups) a folder
// or a name without an extension is fine too; with `anyName` (an X cursor file) any name is. "-" (standard
// output) is fine.
std::optional<std::string> outputFileProblem(const std::string& path, bool folderAllowed, bool anyName = false);

// Why `path` cannot be the folder a verb writes into: something else that is there, or standard output.
std::optional<std::string> outputFolderProblem(const std::string& path);

}  // namespace delvix::cli
