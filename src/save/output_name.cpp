#include "save/output_name.h"

#include <algorithm>

#include "model/picture_index.h"

namespace delvix::save {

std::string pictureFileName(std::size_t number, std::size_t count) {
  const std::string digits = std::to_string(number);
  const std::size_t width = std::to_string(std::max(count, number)).size();
  return std::string(model::picturePrefix) + std::string(width - digits.size(), '0') + digits;
}

}  // namespace delvix::save
