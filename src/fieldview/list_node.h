#pragma once

#include <optional>

#include "fieldview/listing.h"
#include "model/document.h"

namespace delvix::fieldview {

// The edit settings used as the state image of rows: 0 editable, 1 read-only (the default). The show
// settings reach the tables through the state images of the pixel-data nodes.
struct FieldSettings {
  int editTable = 1;
  int editData = 1;
  int editFact = 1;
};

// The field table of `node`, a node of `document`'s tree, at the preview's zoom factor (1 to 10).
Listing listNode(const model::Document& document, const model::Node& node, const FieldSettings& settings,
                 int zoomFactor);

}  // namespace delvix::fieldview
