#include "fieldview/table_builder.h"
#include "fieldview/tables.h"
#include "fieldview/value_text.h"

namespace delvix::fieldview {

Listing listWaveFormat(const model::WaveState& wave) {
  constexpr Mark ro = Mark::readOnly;
  const model::WaveFormat& f = wave.format;
  TableBuilder table;
  table.add("FormatTag", std::to_string(f.formatTag), ro);
  table.add("Channels", std::to_string(f.channels), ro);
  table.add("SamplesPerSec", std::to_string(f.samplesPerSecond), ro);
  table.add("AvgBytesPerSec", std::to_string(f.averageBytesPerSecond), ro);
  table.add("BlockAlign", std::to_string(f.blockAlign), ro);
  table.add("BitsPerSample", std::to_string(f.bitsPerSample), ro);
  if (wave.fmtSize == model::waveFormatRecordSize) table.add("Size", std::to_string(f.extraSize), ro);
  Listing listing = clearedListing(EditMode::none);
  listing.columns = commonColumns();
  listing.rows = table.rows();
  listing.buttons.removeChunk = false;
  return listing;
}

// The fact value is the number of sample frames per channel.
Listing listFact(const model::WaveState& wave, const FieldSettings& settings) {
  TableBuilder table;
  table.add("The data in samples", std::to_string(wave.factValue), markOfSetting(settings.editFact), ranges::u32);
  Listing listing = clearedListing(EditMode::fact);
  listing.columns = commonColumns();
  listing.rows = table.rows();
  listing.buttons.removeChunk = true;
  return listing;
}

Listing listWaveData(const model::WaveState& wave) {
  TableBuilder table;
  table.add("Size of data (bytes)", std::to_string(wave.dataSize), Mark::readOnly);
  table.add("Time of playing (sec)", playingTimeText(wave.playingTime), Mark::readOnly);
  Listing listing = clearedListing(EditMode::none);
  listing.columns = {Column{"Info", 120, 40, 180}, Column{"Data", 90, 20, 150}, Column{}};
  listing.rows = table.rows();
  listing.buttons.removeChunk = false;
  return listing;
}

}  // namespace delvix::fieldview
