#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace delvix::app {

// File > Open Recent: the files opened last, most recent first, each once.
inline constexpr std::size_t maxRecentFiles = 10;

// The list after `opened` was opened: it comes first, and what falls past the limit goes.
std::vector<std::string> withOpenedFile(const std::vector<std::string>& recent, const std::string& opened);
// The list without `missing`, a file chosen from it that is no longer there. Others that cannot be reached stay:
// their drive may only be away for now.
std::vector<std::string> withoutMissingFile(const std::vector<std::string>& recent, const std::string& missing);
// A list as it may come from the settings: empty names and repeats go, at most the limit stays.
std::vector<std::string> tidiedRecentFiles(const std::vector<std::string>& recent);

}  // namespace delvix::app
