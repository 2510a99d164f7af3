#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "desktop/screen_fit.h"

namespace delvix::desktop {

// The window's place and size when not maximised, from a geometry saved by Qt (QWidget::saveGeometry, formats 1
// to 3); nullopt when the bytes are not one. Qt itself refuses a geometry saved on a screen of quite another width;
// read here, it still gives the place and size, to be fitted to the screen there is now.
std::optional<Rect> savedNormalGeometry(std::span<const std::uint8_t> bytes);

}  // namespace delvix::desktop
