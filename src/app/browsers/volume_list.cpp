#include "app/browsers/volume_list.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <algorithm>

namespace delvix::app {

namespace {

bool under(const std::filesystem::path& path, const std::filesystem::path& folder) {
  auto [end, inside] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
  return end == folder.end();
}

bool userKeepsFilesOn(const std::filesystem::path& root) {
  if (root == "/") return true;
  for (const char* place : {"/home", "/media", "/run/media", "/mnt"})
    if (under(root, place)) return true;
  return under(root, QFile::encodeName(QDir::homePath()).toStdString());
}

QString nameOf(const QStorageInfo& volume, const std::filesystem::path& root) {
  if (!volume.name().isEmpty()) return volume.name();
  if (root == "/") return QStringLiteral("Root");
  return QFile::decodeName(QByteArray::fromStdString(root.filename().native()));
}

}  // namespace

std::vector<Volume> browsableVolumes() {
  std::vector<Volume> volumes;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady()) continue;
    const std::filesystem::path root(QFile::encodeName(volume.rootPath()).toStdString());
    if (!userKeepsFilesOn(root)) continue;
    if (std::any_of(volumes.begin(), volumes.end(), [&](const Volume& seen) { return seen.root == root; })) continue;
    volumes.push_back({nameOf(volume, root) + " (" + volume.rootPath() + ")", root});
  }
  std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) { return a.root < b.root; });
  return volumes;
}

int volumeHolding(const std::vector<Volume>& volumes, const std::filesystem::path& folder) {
  int best = -1;
  std::size_t bestDepth = 0;
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    const std::filesystem::path& root = volumes[i].root;
    const auto depth = static_cast<std::size_t>(std::distance(root.begin(), root.end()));
    if (under(folder, root) && (best < 0 || depth > bestDepth)) {
      best = static_cast<int>(i);
      bestDepth = depth;
    }
  }
  return best;
}

}  // namespace delvix::app
