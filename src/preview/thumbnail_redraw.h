#pragma once

#include "model/document.h"

namespace delvix::preview {

// After an edit of picture `picture`'s pixels or colours: its thumbnail (document.pictures[picture]) becomes
// the plain rendering drawn at the top left of a canvas of the key colour, at the thumbnail's size. A
// picture that cannot be rendered, or that shows the placeholder, keeps its thumbnail.
void redrawThumbnail(model::Document& document, int picture);

}  // namespace delvix::preview
