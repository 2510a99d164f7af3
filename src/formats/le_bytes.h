#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

// Typed little-endian access to the fields of node blocks. The blocks have fixed layouts, so an
// access outside one is a programming error and throws.
namespace delvix::formats {

inline void checkField(std::size_t size, std::size_t offset, std::size_t width) {
  if (offset > size || width > size - offset) throw std::out_of_range("block field outside the block");
}

inline std::uint8_t le8(std::span<const std::uint8_t> b, std::size_t offset) {
  checkField(b.size(), offset, 1);
  return b[offset];
}
inline std::uint16_t le16(std::span<const std::uint8_t> b, std::size_t offset) {
  checkField(b.size(), offset, 2);
  return static_cast<std::uint16_t>(b[offset] | (b[offset + 1] << 8));
}
inline std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t offset) {
  checkField(b.size(), offset, 4);
  return std::uint32_t{b[offset]} | (std::uint32_t{b[offset + 1]} << 8) | (std::uint32_t{b[offset + 2]} << 16) |
         (std::uint32_t{b[offset + 3]} << 24);
}
inline std::uint64_t le64(std::span<const std::uint8_t> b, std::size_t offset) {
  return le32(b, offset) | (std::uint64_t{le32(b, offset + 4)} << 32);
}

inline std::int32_t les32(std::span<const std::uint8_t> b, std::size_t offset) {
  return static_cast<std::int32_t>(le32(b, offset));
}

inline void setLe8(std::span<std::uint8_t> b, std::size_t offset, std::uint8_t v) {
  checkField(b.size(), offset, 1);
  b[offset] = v;
}
inline void setLe16(std::span<std::uint8_t> b, std::size_t offset, std::uint16_t v) {
  checkField(b.size(), offset, 2);
  b[offset] = static_cast<std::uint8_t>(v);
  b[offset + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void setLe32(std::span<std::uint8_t> b, std::size_t offset, std::uint32_t v) {
  checkField(b.size(), offset, 4);
  for (std::size_t i = 0; i < 4; ++i) b[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace delvix::formats
