#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace delvix::model {

inline constexpr std::size_t aniHeaderSize = 36;
inline constexpr std::uint32_t aniSequenceFlag = 2;

// The "anih" chunk: nine u32 fields. Times are in jiffies (1/60 s).
struct AniHeader {
  std::uint32_t cbSize = 0;
  std::uint32_t frames = 0;
  std::uint32_t steps = 0;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t bitCount = 0;
  std::uint32_t planes = 0;
  std::uint32_t displayRate = 0;
  std::uint32_t attributes = 0;  // bit 0: frames are icon or cursor images; bit 1: a "seq " chunk is present

  bool operator==(const AniHeader&) const = default;
};

// What the animated cursor reader keeps beside the tree, for the player, the field tables and the writer.
struct AniState {
  AniHeader header;
  std::uint32_t stepCount = 0;
  // Every entry the "rate" chunk holds, full 32-bit values, none without the chunk: one per step when
  // ratesPerStep(), one per frame otherwise. The writer writes exactly these.
  std::vector<std::uint32_t> rates;
  // Every frame index the "seq " chunk holds; without the chunk the frames in order, one per step.
  std::vector<std::uint32_t> sequence;
  std::vector<std::uint32_t> frameSizes;  // the data size of each "icon" chunk, in frame order
  std::size_t framesRead = 0;             // frames of the frame list that have a picture
  // Bytes of "anih", "rate" and "seq " beyond the record and the whole u32 entries, as stored, so that
  // writing the file back loses nothing.
  std::vector<std::uint8_t> headerTail;
  std::vector<std::uint8_t> rateTail;
  std::vector<std::uint8_t> sequenceTail;
  bool hasRate = false;
  bool hasSequence = false;
  bool hasFrames = false;

  std::uint32_t riffSize = 0;
  std::uint32_t infoListSize = 0;
  // Chunk sizes include the 8-byte chunk header; the frame list size also its type (12 bytes in all); 0 = absent.
  std::uint32_t headerChunkSize = 0;
  std::uint32_t rateChunkSize = 0;
  std::uint32_t sequenceChunkSize = 0;
  std::uint32_t frameListSize = 0;
  // File offsets of the chunks' data.
  std::size_t infoListPosition = 0;
  std::size_t headerPosition = 0;
  std::size_t ratePosition = 0;
  std::size_t sequencePosition = 0;
  std::size_t frameListPosition = 0;
  // The names of the top-level nodes in the order the file held their chunks ("ani_header", "List_info",
  // "chunk_JUNK", ...), so that a save keeps that order.
  std::vector<std::string> chunkOrder;
  // The same for the children of "List_info" and the sub-chunks of the INFO list.
  std::vector<std::string> infoOrder;

  // Rates are per step when the file has a sequence (the header's flag or a "seq " chunk), as Windows
  // and gdk-pixbuf read them; per frame otherwise.
  bool ratesPerStep() const { return hasSequence || (header.attributes & aniSequenceFlag) != 0; }
  // The frame that step `step` shows: its sequence entry, or past the sequence the frames in order;
  // nullopt when that is no frame that was read.
  std::optional<std::size_t> frameOfStep(std::size_t step) const;
  // How long step `step` is shown, in jiffies (1/60 s): its own rate entry or its frame's, the
  // header's display rate when the table has no such entry.
  std::uint32_t stepDelay(std::size_t step) const;
  // For each of the first `frames` frames, its different display times in the order of the steps that show
  // it: one value when rates are per frame; when they are per step, none for a frame no step shows and at
  // most maxDelaysPerFrame values.
  static constexpr std::size_t maxDelaysPerFrame = 8;
  std::vector<std::vector<std::uint32_t>> frameDelays(std::size_t frames) const;

  bool operator==(const AniState&) const = default;
};

}  // namespace delvix::model
