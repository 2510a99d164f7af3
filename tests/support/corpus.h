#pragma once

#include <filesystem>
#include <vector>

namespace delvix::testing {

// The files of one folder of the shared sample corpus (ico, cur, ani, wav, pe), sorted; empty when
// the corpus is not there.
std::vector<std::filesystem::path> corpusFiles(const char* folder);

// True when `program` is found on the PATH.
bool haveProgram(const char* program);

}  // namespace delvix::testing
