#pragma once

#include <cstdint>
#include <vector>

#include "model/sample_data.h"

namespace delvix::testing {

// Sample data's bytes one after another, to compare.
inline std::vector<std::uint8_t> bytesOf(const model::SampleData& data) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(data.size()));
  data.read(0, bytes);
  return bytes;
}

}  // namespace delvix::testing
