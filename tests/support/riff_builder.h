#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/icon_builder.h"

// Builds RIFF files (animated cursors, wave files) chunk by chunk for tests.
namespace delvix::testing {

// Joins byte strings in order.
ByteVector joined(std::initializer_list<ByteVector> parts);

struct ChunkOptions {
  std::optional<std::uint32_t> declaredSize;  // what the header claims; the data's size when unset
  bool pad = true;                            // add the pad byte after odd-sized data
};

// Code (blank-padded to four characters), u32 size, data, pad byte.
ByteVector chunk(std::string_view code, const ByteVector& data, ChunkOptions options = {});
// "LIST", size, type, then the sub-chunks.
ByteVector list(std::string_view type, std::initializer_list<ByteVector> chunks);
// "RIFF", size, form type, then the chunks.
ByteVector riff(std::string_view form, std::initializer_list<ByteVector> chunks,
                std::optional<std::uint32_t> declaredSize = std::nullopt);

ByteVector u32s(std::initializer_list<std::uint32_t> values);
// A zero-terminated text.
ByteVector text(std::string_view value);

struct AniHeaderFields {
  std::uint32_t frames = 1;
  std::uint32_t steps = 1;
  std::uint32_t bitCount = 0;
  std::uint32_t displayRate = 10;
  std::uint32_t attributes = 1;
};
// The "anih" chunk.
ByteVector aniHeader(AniHeaderFields fields);
// An "icon" chunk holding an icon file with one bitmap image.
ByteVector iconChunk(const DibImage& image);
ByteVector iconChunk(const IconFile& file);
// The "fram" LIST of an animated cursor: `frames` "icon" chunks, each holding `image`.
ByteVector frameList(std::size_t frames, const DibImage& image);

struct WaveFormatFields {
  std::uint16_t formatTag = 1;
  std::uint16_t channels = 1;
  std::uint32_t samplesPerSecond = 8000;
  std::uint16_t bitsPerSample = 8;
  std::optional<std::uint16_t> blockAlign;  // channels * bits / 8 when unset
  ByteVector extra;                         // bytes after the first 16 (cbSize and what follows)
};
// The "fmt " chunk.
ByteVector waveFormat(const WaveFormatFields& fields);

}  // namespace delvix::testing
