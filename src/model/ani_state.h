#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace delvix::model {

inline constexpr std::size_t aniHeaderSize = 36;

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
};

// What the animated cursor reader keeps beside the tree, for the player, the field tables and the writer.
struct AniState {
  AniHeader header;
  std::uint32_t stepCount = 0;
  std::vector<std::uint32_t> rates;       // one per frame, full 32-bit values
  std::vector<std::uint32_t> sequence;    // one frame index per step
  std::vector<std::uint32_t> frameSizes;  // the data size of each "icon" chunk, in frame order
  // Bytes of "anih", "rate" and "seq " beyond the record and the entries the arrays took, as stored,
  // so that writing the file back loses nothing.
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
};

}  // namespace delvix::model
