#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/document.h"

namespace delvix::edit {

// What setting hot spots did: the entries changed (zero-based picture indexes), or why nothing was; and what
// the user should know of a spot that was set all the same (one outside its picture, which the format allows).
struct HotSpotChange {
  std::vector<int> changed;
  std::string refusal;
  std::vector<std::string> warnings;
  // The new text of the status bar's size panel, when Apply gave one.
  std::optional<std::string> statusText;
};

// Sets the hot spot of every cursor entry of a cursor file or every frame of an animated cursor to (x, y),
// or of the one entry that `node` is or lies in (an "icon_dir_" n, a "picture_" n or a part of it). Each
// spot is written as Apply writes its "HotPot X" and "HotPot Y" rows, so what follows from them follows.
// Refused, with nothing changed, for icons, modules and wave files, for values outside 0 to 65535 and for a
// node that belongs to no entry.
HotSpotChange setHotSpots(model::Document& document, const model::Node* node, long long x, long long y);

}  // namespace delvix::edit
