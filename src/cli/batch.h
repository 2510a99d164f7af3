#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace delvix::cli {

// The files and folders a batch verb was given, the target folder (the last of them) and whether folders
// are descended into.
struct BatchArguments {
  std::vector<std::filesystem::path> inputs;
  std::filesystem::path target;
  bool recursive = false;
};

// The files one job wrote, for --json.
using WrittenFiles = std::vector<std::filesystem::path>;
using BatchJob =
    std::function<int(const std::filesystem::path& file, const std::filesystem::path& folder, WrittenFiles& written)>;

// Runs `one(file, folder, written)` for every file the inputs name: however many inputs there are, every file gets a
// sub-folder of the target named after it (a folder's files their path below the folder given, with -r), so
// that the layout does not change with the count. Folders give the files whose extension the viewer opens, less wave
// files. A file that fails is reported and the batch goes on; on a terminal a progress line goes before each file. The
// status is exitOk when every file was done, exitRefused otherwise. With --json the standard output gets one document:
// {"target": DIR, "failed": N, "files": [{"file", "folder", "ok", "written": [PATH...]}]}.
int runBatch(const BatchArguments& batch, Streams streams, const BatchJob& one);

}  // namespace delvix::cli
