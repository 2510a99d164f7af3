#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace delvix::testing {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

 private:
  std::filesystem::path path_;
};

}  // namespace delvix::testing
