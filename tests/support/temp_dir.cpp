#include "support/temp_dir.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace delvix::testing {

TempDir::TempDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = std::filesystem::temp_directory_path() / ("delvix-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
  auto target = path_ / name;
  std::ofstream out(target, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return target;
}

}  // namespace delvix::testing
