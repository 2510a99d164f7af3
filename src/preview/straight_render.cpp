#include "preview/straight_render.h"

namespace delvix::preview {

Rendering renderStraight(const model::Document& document, int index) {
  Rendering rendering =
      hasPerPixelAlpha(document, index) ? renderAlpha(document, index) : renderPlain(document, index);
  for (gfx::Pixel& p : rendering.image.pixels())
    if (p == gfx::transparentKey) p = 0;
  return rendering;
}

}  // namespace delvix::preview
