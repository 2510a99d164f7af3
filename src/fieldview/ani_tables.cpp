#include <algorithm>

#include "fieldview/table_builder.h"
#include "fieldview/tables.h"

namespace delvix::fieldview {

namespace {

// One row per entry, numbered from 1, each value as stored, all editable within `range`.
Rows numberedRows(const std::vector<std::uint32_t>& entries, ValueRange range) {
  auto kept = std::make_shared<const std::vector<std::uint32_t>>(entries);
  return Rows(kept->size(), [kept, range](std::size_t i) {
    return Row{std::to_string(i + 1), std::to_string((*kept)[i]), {}, Mark::editable, {}, range};
  });
}

}  // namespace

Listing listAniHeader(const model::AniState& ani) {
  constexpr Mark ro = Mark::readOnly;
  constexpr Mark rw = Mark::editable;
  const model::AniHeader& h = ani.header;
  TableBuilder table;
  // The size and the frame count are listed as read; the writer works them out from what it writes. Setting
  // the step count makes the sequence that long.
  table.add("Size", std::to_string(h.cbSize), ro);
  table.add("Number of Frames", std::to_string(h.frames), ro);
  table.add("Number of Steps", std::to_string(h.steps), rw, ranges::steps);
  table.add("x", std::to_string(h.width), rw, ranges::u32);
  table.add("y", std::to_string(h.height), rw, ranges::u32);
  table.add("Bits per Pixel", std::to_string(h.bitCount), ro);
  table.add("Number of Planes", std::to_string(h.planes), ro);
  table.add("Default rate (1/60 s)", std::to_string(h.displayRate), rw, ranges::u32);
  table.add("Flag", std::to_string(h.attributes), rw, ranges::u32);
  Listing listing = clearedListing(EditMode::aniHeader);
  listing.columns = columns("Field", 140, "Data", 60);
  listing.rows = table.rows();
  return listing;
}

// Every entry the "rate" chunk holds: one per step when the file has a sequence, one per frame otherwise.
Listing listRates(const model::AniState& ani) {
  Listing listing = clearedListing(EditMode::rate);
  listing.columns = columns(ani.ratesPerStep() ? "Step" : "Frame", 120, "time(jif)", 90);
  listing.rows = numberedRows(ani.rates, ranges::u32);
  listing.buttons.removeChunk = true;
  return listing;
}

// Frames are numbered from 1; an entry that names no frame read shows "none" and its value as stored.
Listing listSequence(const model::AniState& ani) {
  Listing listing = clearedListing(EditMode::sequence);
  const bool none = std::ranges::any_of(ani.sequence, [&](std::uint32_t frame) { return frame >= ani.framesRead; });
  listing.columns = columns("Step", 120, "Frame", none ? 110 : 90);
  auto kept = std::make_shared<const std::vector<std::uint32_t>>(ani.sequence);
  const ValueRange range = ranges::sequenceFrame(ani.framesRead);
  listing.rows = Rows(kept->size(), [kept, frames = ani.framesRead, range](std::size_t i) {
    const std::uint32_t frame = (*kept)[i];
    std::string value =
        frame < frames ? std::to_string(std::uint64_t{frame} + 1) : "none (" + std::to_string(frame) + ")";
    return Row{std::to_string(i + 1), std::move(value), {}, Mark::editable, {}, range};
  });
  listing.buttons.add = true;
  listing.buttons.removeChunk = true;
  return listing;
}

}  // namespace delvix::fieldview
