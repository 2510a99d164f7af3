#pragma once

#include <optional>
#include <string>

#include "model/document.h"

namespace delvix::edit {

struct Removal {
  bool removed = false;
  // Why a part that could be removed in another file was not (e.g. the last picture); empty otherwise.
  std::string refusal;
  // The status panel's new text, when the stored sizes changed.
  std::optional<std::string> statusText;
  // The frames' display times changed: the thumbnail list shows them.
  bool delaysChanged = false;
  // The picture whose thumbnail row went (0-based), or -1.
  int removedPicture = -1;
  // The node to select afterwards: the picture now at the removed one's place (the new last one when the
  // last went), else the node before the removed one. Null when nothing was removed.
  const model::Node* select = nullptr;
};

// Removes `node` from the document when it is a part a save can leave out: "List_info", an INFO item (and
// "List_info" with its last item), "fact", "time", "sequence", a chunk kept without interpretation
// ("chunk_XXXX"), or a picture of an icon or cursor file or a frame of an animated cursor while another
// remains (the later ones are renumbered; an animation drops the steps that showed the frame). The state the writers
// read follows, so the next save writes the file without it, and the stored sizes are worked out again. Any other node
// is left alone. `node` is gone afterwards.
Removal removeChunk(model::Document& document, const model::Node& node);

}  // namespace delvix::edit
