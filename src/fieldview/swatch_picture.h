#pragma once

#include "fieldview/listing.h"
#include "gfx/image.h"

namespace delvix::fieldview {

// The 16 x 16 picture of a row's swatch.
gfx::Image swatchPicture(const Swatch& swatch);

}  // namespace delvix::fieldview
