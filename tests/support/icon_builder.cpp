#include "support/icon_builder.h"

#include <algorithm>
#include <numeric>

#include "codecs/png_encode.h"

namespace delvix::testing {

void appendLe16(ByteVector& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void appendLe32(ByteVector& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

ByteVector BitmapHeaderSpec::bytes() const {
  ByteVector out;
  appendLe32(out, size);
  if (size == 12) {
    appendLe16(out, static_cast<std::uint16_t>(width));
    appendLe16(out, static_cast<std::uint16_t>(height));
    appendLe16(out, 1);
    appendLe16(out, static_cast<std::uint16_t>(bitCount));
    return out;
  }
  appendLe32(out, static_cast<std::uint32_t>(width));
  appendLe32(out, static_cast<std::uint32_t>(height));
  appendLe16(out, 1);
  appendLe16(out, static_cast<std::uint16_t>(bitCount));
  appendLe32(out, compression);
  appendLe32(out, 0);
  appendLe32(out, 2835);
  appendLe32(out, 2835);
  appendLe32(out, clrUsed);
  appendLe32(out, 0);
  for (std::uint32_t mask : masks)
    if (out.size() < size) appendLe32(out, mask);
  if (out.size() < size) appendLe32(out, 0x73524742);  // 'sRGB'
  out.resize(size, 0);
  if (size >= 112) out[108] = 4;  // perceptual
  return out;
}

ByteVector DibImage::bytes() const {
  BitmapHeaderSpec header{headerSize, width, height * 2, bitCount, compression, clrUsed, masks};
  ByteVector out = header.bytes();
  std::fill(out.begin() + 24, out.begin() + 32, 0);
  if (bitCount <= 8) {
    std::size_t entries = std::size_t{1} << bitCount;
    for (std::size_t i = 0; i < entries; ++i) appendLe32(out, i < palette.size() ? palette[i] : 0);
  }
  ByteVector colour = colourRows;
  colour.resize(static_cast<std::size_t>(colourStride() * height), 0);
  ByteVector mask = maskRows;
  mask.resize(static_cast<std::size_t>(maskStride() * height), 0);
  out.insert(out.end(), colour.begin(), colour.end());
  out.insert(out.end(), mask.begin(), mask.end());
  return out;
}

ByteVector solidPng(int width, int height, std::uint32_t rgba) {
  gfx::Image image(width, height, gfx::rgb(rgba >> 24, (rgba >> 16) & 0xFF, (rgba >> 8) & 0xFF, rgba & 0xFF));
  return *codecs::encodePng(image);
}

ByteVector IconFile::bytes() const {
  std::vector<std::size_t> order = storageOrder;
  if (order.empty()) {
    order.resize(entries.size());
    std::iota(order.begin(), order.end(), 0);
  }
  std::vector<std::uint32_t> offsets(entries.size(), 0);
  std::uint32_t position = static_cast<std::uint32_t>(6 + 16 * entries.size() + gapAfterDirectory);
  for (std::size_t index : order) {
    offsets[index] = position;
    position += static_cast<std::uint32_t>(entries[index].record.size());
  }

  ByteVector out;
  appendLe16(out, reserved);
  appendLe16(out, type);
  appendLe16(out, count.value_or(static_cast<std::uint16_t>(entries.size())));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const IconEntry& e = entries[i];
    auto recordWidth = e.record.size() >= 8 ? e.record[4] : 0;
    auto recordHeight = e.record.size() >= 12 ? static_cast<std::uint8_t>(e.record[8] / 2 | e.record[9] << 7) : 0;
    out.push_back(e.width.value_or(static_cast<std::uint8_t>(recordWidth)));
    out.push_back(e.height.value_or(recordHeight));
    out.push_back(e.colourCount.value_or(0));
    out.push_back(0);
    appendLe16(out, e.planes);
    appendLe16(out, e.bitCount);
    appendLe32(out, e.bytesInResource.value_or(static_cast<std::uint32_t>(e.record.size())));
    appendLe32(out, e.imageOffset.value_or(offsets[i]));
  }
  out.resize(out.size() + gapAfterDirectory, 0xAA);
  for (std::size_t index : order) out.insert(out.end(), entries[index].record.begin(), entries[index].record.end());
  return out;
}

}  // namespace delvix::testing
