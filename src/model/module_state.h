#pragma once

#include <map>
#include <string>

#include "gfx/image.h"
#include "model/shared_bytes.h"

namespace delvix::model {

// Which resource kinds a module read takes (the three Resources settings).
struct ResourceKinds {
  bool icons = true;
  bool cursors = true;
  bool bitmaps = true;

  bool any() const { return icons || cursors || bitmaps; }
};

// What the module reader keeps beside the tree of an open program module.
struct ModuleState {
  // The module's bytes as they are now: as read, then as each change of its resources left them. What a save
  // of the module writes.
  SharedBytes bytes;
  // Edits were made in the field table (pixels, fields) that live in the tree only: a save of the module would
  // leave them out and a change of its resources would read the tree again without them.
  bool treeEdited = false;
  // The number k the next resource node of each kind gets ("... [Icon_" k "]").
  int nextIcon = 1;
  int nextCursor = 1;
  int nextBitmap = 1;
  // The status labels after "Icons:", "Cursor:" and "Bitmaps:".
  std::string iconsLabel = "0";
  std::string cursorsLabel = "0";
  std::string bitmapsLabel = "0";
  // The decoded bitmap of each bitmap resource's picture, by picture index (the size-list line's object).
  std::map<int, gfx::Image> bitmapPictures;
  // Why a bitmap resource's picture could not be decoded, by picture index, for when it is selected.
  std::map<int, std::string> bitmapProblems;
};

}  // namespace delvix::model
