#pragma once

#include <string>

#include "gfx/image.h"

namespace delvix::model {

// What the thumbnail list shows of one picture: its thumbnail, its size text ("32x32" or "none")
// and its bit-count text.
struct PictureEntry {
  gfx::Image thumbnail;
  bool placeholder = false;
  std::string sizeText;
  std::string bitCountText;
};

}  // namespace delvix::model
