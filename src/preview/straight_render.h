#pragma once

#include "model/document.h"
#include "preview/frame_render.h"

namespace delvix::preview {

// The picture's own pixels with their own straight (not premultiplied) alpha, as a file of its own would
// hold them: alpha 0 where the picture is transparent, never the canvas key. This is what a PNG export,
// the thumbnails and the animation exports start from.
Rendering renderStraight(const model::Document& document, int index);

}  // namespace delvix::preview
