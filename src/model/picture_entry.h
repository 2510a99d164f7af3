#pragma once

#include <string>

namespace delvix::model {

// What the thumbnail list shows of one picture besides its thumbnail (drawn when its row is shown): whether
// it shows the placeholder, its size text ("32x32" or "none") and its bit-count text.
struct PictureEntry {
  bool placeholder = false;
  std::string sizeText;
  std::string bitCountText;
};

}  // namespace delvix::model
