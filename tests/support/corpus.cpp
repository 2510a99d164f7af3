#include "support/corpus.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace delvix::testing {

std::vector<std::filesystem::path> corpusFiles(const char* folder) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(DELVIX_CORPUS_DIR) / folder, error))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

bool haveProgram(const char* program) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string_view dirs(path);
  while (!dirs.empty()) {
    auto end = dirs.find(':');
    std::filesystem::path candidate = std::filesystem::path(dirs.substr(0, end)) / program;
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error)) return true;
    if (end == std::string_view::npos) break;
    dirs.remove_prefix(end + 1);
  }
  return false;
}

std::string runAndCapture(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string output;
  char buffer[4096];
  while (pipe && fgets(buffer, sizeof buffer, pipe.get())) output += buffer;
  return output;
}

}  // namespace delvix::testing
