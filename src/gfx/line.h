#pragma once

#include "gfx/image.h"

namespace delvix::gfx {

// A one-pixel line from (x0, y0) to (x1, y1), both ends included; pixels outside the image are skipped.
void drawLine(Image& target, int x0, int y0, int x1, int y1, Pixel colour);

}  // namespace delvix::gfx
