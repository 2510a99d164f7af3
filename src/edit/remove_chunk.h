#pragma once

#include <optional>
#include <string>

#include "model/document.h"

namespace delvix::edit {

struct Removal {
  bool removed = false;
  // The status panel's new text, when the stored sizes changed.
  std::optional<std::string> statusText;
  // The frames' display times changed: the thumbnail list shows them.
  bool delaysChanged = false;
};

// Removes `node` from the document when it is a part a save can leave out: "List_info", an INFO item (and
// "List_info" with its last item), "fact", "time", "sequence" or a chunk kept without interpretation
// ("chunk_XXXX"). The state the writers read follows, so the next save writes the file without it, and the
// stored sizes are worked out again. Any other node is left alone. `node` is gone afterwards.
Removal removeChunk(model::Document& document, const model::Node& node);

}  // namespace delvix::edit
