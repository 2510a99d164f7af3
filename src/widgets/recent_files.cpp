#include "widgets/recent_files.h"

#include <algorithm>

namespace delvix::app {

std::vector<std::string> tidiedRecentFiles(const std::vector<std::string>& recent) {
  std::vector<std::string> tidied;
  for (const std::string& file : recent) {
    if (tidied.size() == maxRecentFiles) break;
    if (!file.empty() && std::find(tidied.begin(), tidied.end(), file) == tidied.end()) tidied.push_back(file);
  }
  return tidied;
}

std::vector<std::string> withOpenedFile(const std::vector<std::string>& recent, const std::string& opened) {
  std::vector<std::string> list{opened};
  list.insert(list.end(), recent.begin(), recent.end());
  return tidiedRecentFiles(list);
}

std::vector<std::string> withoutMissingFile(const std::vector<std::string>& recent, const std::string& missing) {
  std::vector<std::string> list = recent;
  std::erase(list, missing);
  return tidiedRecentFiles(list);
}

}  // namespace delvix::app
