#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/document.h"

namespace delvix::edit {

// One check box of the Add chunks dialog: whether it can be used and whether it shows ticked.
struct ChunkChoice {
  bool enabled = false;
  bool checked = false;
};

// One of the ten INFO items the dialog offers.
struct InfoChoice {
  std::string id;           // "INAM"
  std::string description;  // "name": the node it makes
  std::string caption;      // "Name (INAM)"
  bool present = false;     // the file has it: shown ticked, greyed, with its text
  std::string text;
};

// What the dialog offers for the open document, worked out when it is shown.
struct ChunkOffer {
  std::vector<InfoChoice> info;  // the ten items in the dialog's order; all disabled outside RIFF files
  bool infoEnabled = false;
  ChunkChoice rate;
  ChunkChoice sequence;
  ChunkChoice fact;
  bool imagesEnabled = false;  // icon, cursor and animated cursor files take an image from another file
};

ChunkOffer chunkOffer(const model::Document& document);

// The INFO items the dialog can add, as (id, caption), in the dialog's order.
const std::array<std::pair<const char*, const char*>, 10>& offeredInfoItems();

struct InfoText {
  std::string id;    // "IART"
  std::string text;  // UTF-8
};

struct ChunkAdditions {
  std::vector<InfoText> info;
  bool rate = false;
  bool sequence = false;
  bool fact = false;
};

struct Addition {
  bool changed = false;
  // The status panel's new text, when the stored sizes changed.
  std::optional<std::string> statusText;
  // The frames' display times changed: the thumbnail list shows them.
  bool delaysChanged = false;
  // Why something asked for was not added, for the message log.
  std::vector<std::string> log;
};

// Adds to an animated cursor or a wave file what it lacks: INFO items (into its INFO list, which is made
// when there is none), a "rate" table (one entry a step when the file has a sequence, else one a frame, at
// the header's display rate), a "seq " table (the steps as they are shown; per-frame rates become per-step)
// and a "fact" chunk (sample frames per channel). What the file already has, or cannot have, is left alone.
Addition addChunks(model::Document& document, const ChunkAdditions& additions);

// Sample frames per channel of the wave data, as a "fact" chunk gives it; nullopt when the format does not
// tell (an unknown codec, a block align of 0).
std::optional<std::uint32_t> factValueOf(const model::WaveState& wave);

}  // namespace delvix::edit
