#include "desktop/program_folders.h"

#include <string_view>

namespace delvix::desktop {

bool runsFromBuildTree(const std::filesystem::path& programFolder) {
  std::error_code error;
  return !programFolder.empty() && std::filesystem::is_regular_file(programFolder / buildTreeMarker, error);
}

std::filesystem::path userStateFolder(const char* xdgStateHome, const char* home) {
  const auto absolute = [](const char* value) {
    return value && std::string_view(value).starts_with('/') ? std::filesystem::path(value) : std::filesystem::path();
  };
  if (auto base = absolute(xdgStateHome); !base.empty()) return base / "delvix";
  if (auto base = absolute(home); !base.empty()) return base / ".local" / "state" / "delvix";
  return {};
}

}  // namespace delvix::desktop
