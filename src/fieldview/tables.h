#pragma once

#include "fieldview/list_node.h"
#include "fieldview/listing.h"
#include "model/document.h"

// The tables of each kind of node; listNode picks one and adds what every listing shares.
namespace delvix::fieldview {

// How the open file's kind shows in the tables.
struct FileTraits {
  bool module = false;
  bool cursorFile = false;  // ".cur"
  bool wave = false;
  bool removablePictures = false;  // ".ico", ".cur" or ".ani"
};

Listing listIconHeader(const model::Node& node);
Listing listDirectoryEntry(const model::Node& node, const FileTraits& file);
Listing listBitmapHeader(const model::Node& node);
Listing listFrameHeader(const model::Node& node);
Listing listHotSpot(const model::Node& node);
Listing listColourTable(const model::Node& node, const FieldSettings& settings);
Listing listMask(const model::Node& node);

Listing listAniHeader(const model::AniState& ani);
Listing listRates(const model::AniState& ani);
Listing listSequence(const model::AniState& ani);

Listing listWaveFormat(const model::WaveState& wave);
Listing listFact(const model::WaveState& wave, const FieldSettings& settings);
Listing listWaveData(const model::WaveState& wave);

Listing listPngData(const model::Node& node);
// "image_data" and "trailing_data": the size of the bytes kept.
Listing listKeptBytes(const model::Node& node);
Listing listMoreImages(const model::Node& node);
Listing listKeptChunk(const model::Node& node);

// The nodes of an X cursor file; nullopt for other nodes.
std::optional<Listing> listXcursorNode(const model::Document& document, const model::Node& node);

}  // namespace delvix::fieldview
