#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace delvix::testing {

// The files of one folder of the shared sample corpus (ico, cur, ani, wav, pe), sorted; empty when
// the corpus is not there.
std::vector<std::filesystem::path> corpusFiles(const char* folder);

// True when `program` is found on the PATH.
bool haveProgram(const char* program);

// What a shell command prints on its standard output.
std::string runAndCapture(const std::string& command);

}  // namespace delvix::testing
