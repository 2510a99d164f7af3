#include "fixtures.h"

#include "formats/pe/resource_directory.h"
#include "support/pe_builder.h"
#include "support/riff_builder.h"

namespace delvix::testing {

namespace {

DibImage image(int size, int bitCount = 32) {
  DibImage dib;
  dib.width = dib.height = size;
  dib.bitCount = bitCount;
  dib.colourRows.assign(static_cast<std::size_t>(dib.colourStride() * size), 0x80);
  return dib;
}

}  // namespace

ByteVector iconFile(std::vector<int> sizes, std::uint16_t type) {
  IconFile file;
  file.type = type;
  for (int size : sizes) file.entries.push_back({image(size).bytes()});
  return file.bytes();
}

ByteVector animatedCursor(int frames, int steps, std::uint32_t rate, bool withSequence) {
  ByteVector body{'f', 'r', 'a', 'm'};
  for (int i = 0; i < frames; ++i) {
    ByteVector icon = iconChunk(image(32, 8));
    body.insert(body.end(), icon.begin(), icon.end());
  }
  const ByteVector header = aniHeader({.frames = static_cast<std::uint32_t>(frames),
                                       .steps = static_cast<std::uint32_t>(steps),
                                       .displayRate = rate,
                                       .attributes = withSequence ? 3u : 1u});
  if (!withSequence) return riff("ACON", {header, chunk("LIST", body)});
  ByteVector sequence;
  for (int step = 0; step < steps; ++step) appendLe32(sequence, static_cast<std::uint32_t>(step % frames));
  return riff("ACON", {header, chunk("seq ", sequence), chunk("LIST", body)});
}

ByteVector waveFile(std::uint16_t channels, std::uint16_t bitsPerSample, std::uint16_t formatTag) {
  WaveFormatFields format{.formatTag = formatTag, .channels = channels, .bitsPerSample = bitsPerSample};
  if (formatTag != 1) format.extra = {2, 0, 0, 0};
  const std::size_t bytes = 64u * channels * bitsPerSample / 8;
  ByteVector data(bytes, 0x40);
  if (formatTag != 1) return riff("WAVE", {waveFormat(format), chunk("fact", u32s({64})), chunk("data", data)});
  return riff("WAVE", {waveFormat(format), chunk("data", data)});
}

ByteVector waveWithoutData() { return riff("WAVE", {waveFormat({})}); }

ByteVector moduleFile() {
  PeBuilder builder;
  std::uint16_t id = 1;
  auto addGroup = [&](model::ResourceName name, std::vector<int> sizes) {
    std::vector<GroupEntry> entries;
    for (int size : sizes) {
      ByteVector bytes = image(size).bytes();
      entries.push_back({static_cast<std::uint16_t>(size), static_cast<std::uint16_t>(size), 1, 32,
                         static_cast<std::uint32_t>(bytes.size()), id});
      builder.add(formats::pe::rtIcon, std::uint32_t{id}, bytes);
      ++id;
    }
    builder.add(formats::pe::rtGroupIcon, std::move(name), groupResource(1, entries));
  };
  addGroup(std::string("MAINICON"), {16, 32});
  addGroup(std::uint32_t{2}, {48});
  ByteVector cursor = image(32, 1).bytes();
  builder.add(formats::pe::rtCursor, std::uint32_t{50}, cursorResource(3, 4, cursor));
  builder.add(formats::pe::rtGroupCursor, std::uint32_t{7},
              groupResource(2, {{32, 64, 1, 1, static_cast<std::uint32_t>(cursor.size() + 4), 50}}));
  builder.add(formats::pe::rtBitmap, std::uint32_t{9}, bitmapResource(2, 2, 24, 0, 0, ByteVector(16, 0x33)));
  return builder.build().bytes;
}

}  // namespace delvix::testing
