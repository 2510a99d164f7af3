#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fieldview/listing.h"
#include "model/document.h"

namespace delvix::fieldview {

// The texts of the edit boxes as the user left them; a box that is not there reads as empty.
using BoxTexts = std::map<EditBox, std::string>;

struct ApplyResult {
  enum class Kind {
    // Nothing to apply here (a read-only row, a node or mode that takes no edits, a row past the table).
    nothing,
    applied,
    // A box holds what the field cannot take: `message` says why, and nothing was written.
    refused,
  };
  Kind kind = Kind::nothing;
  // The refusal, shown in the error box.
  std::string message;
  // The rows whose texts changed, as they now read (the value actually stored).
  std::vector<std::pair<std::size_t, Row>> changedRows;
  // The table has to be listed again (its row count changed: a step added or removed, "Number of Steps").
  bool relist = false;
  // The frames' display times changed: the thumbnail list shows them.
  bool delaysChanged = false;
  // The new text of the status bar's size panel (" RIFF size: N bytes"), when the stored sizes changed.
  std::optional<std::string> statusText;
  // The picture (zero-based) whose rendering changed: its thumbnail and the preview are drawn again.
  std::optional<int> redrawnPicture;
  // Boxes whose texts Apply changed: a value limited to what the field holds is shown back.
  BoxTexts shownBoxes;
};

// Apply: writes the selected row's value, from `texts`, into `node`'s block or into the document's state,
// as the edit mode of the listing shown asks. Every box needed is read and checked first; a refused edit
// changes nothing.
ApplyResult applyRow(model::Document& document, model::Node& node, EditMode mode, std::size_t row,
                     const BoxTexts& texts);

// Add on the "sequence" table: a step that shows the frame numbered in `edit1Text` (from 1), or frame 1 when
// the box is empty; a number that names no frame is refused with the sequence message.
ApplyResult addStep(model::Document& document, const model::Node& node, const std::string& edit1Text);

// Remove on the "sequence" table: step `row` goes; the last step is never removed.
ApplyResult removeStep(model::Document& document, const model::Node& node, std::size_t row);

// What selecting row `row` of the table listed for `node` allows.
struct RowSelection {
  bool apply = false;
  bool remove = false;
  // The text `Edit1` takes (the row's value) when it is shown.
  std::string edit1Text;
};
RowSelection selectRow(const model::Node& node, const Row& row, std::size_t rowCount);

// The stored RIFF and INFO list sizes worked out again from what a save would write (animated cursors and
// wave files; nothing for the others), with the status text that shows the RIFF size.
std::optional<std::string> refreshStoredSizes(model::Document& document);

}  // namespace delvix::fieldview
