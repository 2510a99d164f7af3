#pragma once

#include <QString>
#include <filesystem>
#include <vector>

// The browsers' list of drives: on Linux, the mounted volumes a user keeps files on.
namespace delvix::app {

struct Volume {
  QString caption;  // "Name (/mount)"
  std::filesystem::path root;
};

// The root file system, home and removable media (under /home, /media, /run/media and /mnt), by mount point.
std::vector<Volume> browsableVolumes();

// The volume whose mount point holds `folder` most closely; -1 when none does.
int volumeHolding(const std::vector<Volume>& volumes, const std::filesystem::path& folder);

}  // namespace delvix::app
