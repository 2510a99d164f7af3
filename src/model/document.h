#pragma once

#include <string>
#include <vector>

#include "gfx/image.h"
#include "model/ani_state.h"
#include "model/module_state.h"
#include "model/picture_entry.h"
#include "model/tree.h"
#include "model/wave_state.h"

namespace delvix::model {

enum class FileKind { none, iconFile, animatedCursor, wave, module, xcursor };

// The state images that the show settings give to the pixel-data nodes.
struct ShowSettings {
  int table = state::valuesHidden;
  int color = state::valuesHidden;
  int mask = state::valuesHidden;
};

// The open file: the structure tree, what the readers keep beside it and the per-picture lists.
struct Document {
  Tree tree;
  FileKind kind = FileKind::none;
  std::string path;
  int imageCount = 0;
  std::vector<PictureEntry> pictures;
  // The status text of the file-size panel, e.g. " Size: 1406 bytes".
  std::string statusText;
  AniState ani;
  WaveState wave;
  ModuleState module;
  // False when an X cursor file could not be read whole: a save then writes only what was read.
  bool xcursorComplete = true;

  void clear() {
    tree.clear();
    kind = FileKind::none;
    path.clear();
    imageCount = 0;
    pictures.clear();
    statusText.clear();
    ani = {};
    wave = {};
    module = {};
    xcursorComplete = true;
  }
};

}  // namespace delvix::model
