#include "preview/thumbnail_redraw.h"

#include "gfx/dib_draw.h"
#include "preview/frame_render.h"

namespace delvix::preview {

void redrawThumbnail(model::Document& document, int picture) {
  if (picture < 0 || static_cast<std::size_t>(picture) >= document.pictures.size()) return;
  model::PictureEntry& entry = document.pictures[static_cast<std::size_t>(picture)];
  if (entry.placeholder) return;
  const Rendering rendering = renderPlain(document, picture);
  if (!rendering.ok() || rendering.image.empty()) return;
  gfx::Image thumbnail = gfx::prepareCanvas(entry.thumbnail.width(), entry.thumbnail.height());
  gfx::copyInto(thumbnail, rendering.image);
  entry.thumbnail = std::move(thumbnail);
}

}  // namespace delvix::preview
