#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/le_bytes.h"

namespace delvix::formats::riff {

// The order of the integers of a RIFF file: little-endian in "RIFF" files, big-endian in "RIFX" ones.
// Four-character codes are byte strings and read the same in both.
enum class ByteOrder { little, big };

// The value with its bytes in the other order when `order` is big-endian: a little-endian value read from
// a big-endian field, or the other way round.
inline std::uint16_t inOrder(std::uint16_t v, ByteOrder order) {
  return order == ByteOrder::little ? v : static_cast<std::uint16_t>((v >> 8) | (v << 8));
}
inline std::uint32_t inOrder(std::uint32_t v, ByteOrder order) {
  return order == ByteOrder::little ? v : (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24);
}

inline std::uint16_t u16In(std::span<const std::uint8_t> b, std::size_t offset, ByteOrder order) {
  return inOrder(le16(b, offset), order);
}
inline std::uint32_t u32In(std::span<const std::uint8_t> b, std::size_t offset, ByteOrder order) {
  return inOrder(le32(b, offset), order);
}
inline void setU16In(std::span<std::uint8_t> b, std::size_t offset, std::uint16_t v, ByteOrder order) {
  setLe16(b, offset, inOrder(v, order));
}
inline void setU32In(std::span<std::uint8_t> b, std::size_t offset, std::uint32_t v, ByteOrder order) {
  setLe32(b, offset, inOrder(v, order));
}

}  // namespace delvix::formats::riff
