#include "preview/thumbnail_redraw.h"

#include "gfx/dib_draw.h"
#include "model/picture_list.h"
#include "preview/frame_render.h"

namespace delvix::preview {

void redrawThumbnail(model::Document& document, int picture) {
  if (picture < 0 || static_cast<std::size_t>(picture) >= document.pictures.size()) return;
  const model::PictureEntry& entry = document.pictures[static_cast<std::size_t>(picture)];
  if (entry.placeholder) return;
  const Rendering rendering = renderPlain(document, picture);
  if (!rendering.ok() || rendering.image.empty()) return;
  model::PictureEntry redrawn = entry;
  redrawn.thumbnail = gfx::prepareCanvas(entry.thumbnail.width(), entry.thumbnail.height());
  gfx::copyInto(redrawn.thumbnail, rendering.image);
  model::replacePicture(document, static_cast<std::size_t>(picture), std::move(redrawn));
}

}  // namespace delvix::preview
