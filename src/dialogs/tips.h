#pragma once

#include <array>

namespace delvix::dialogs {

inline constexpr int tipCount = 31;
// The tips of the day, in the order "Next Tip" shows them.
extern const std::array<const char*, tipCount> tips;

}  // namespace delvix::dialogs
