#include "desktop/saved_geometry.h"

#include "formats/byte_reader.h"

namespace delvix::desktop {

namespace {

constexpr std::uint32_t geometryMagic = 0x01D9D0CB;

// Qt's data streams are big-endian.
std::optional<std::uint32_t> bigEndian(formats::ByteReader& in, std::size_t size) {
  const auto bytes = in.bytes(size);
  if (!bytes) return std::nullopt;
  std::uint32_t value = 0;
  for (std::uint8_t byte : *bytes) value = value << 8 | byte;
  return value;
}

// A rectangle as left, top, right and bottom (inclusive), in 32 bits each.
std::optional<Rect> rect(formats::ByteReader& in) {
  std::int64_t edges[4];
  for (std::int64_t& edge : edges) {
    const auto value = bigEndian(in, 4);
    if (!value) return std::nullopt;
    edge = static_cast<std::int32_t>(*value);
  }
  const std::int64_t width = edges[2] - edges[0] + 1;
  const std::int64_t height = edges[3] - edges[1] + 1;
  if (width <= 0 || height <= 0 || width > INT32_MAX || height > INT32_MAX) return std::nullopt;
  return Rect{static_cast<int>(edges[0]), static_cast<int>(edges[1]), static_cast<int>(width),
              static_cast<int>(height)};
}

}  // namespace

std::optional<Rect> savedNormalGeometry(std::span<const std::uint8_t> bytes) {
  formats::ByteReader in(bytes);
  const auto magic = bigEndian(in, 4);
  const auto major = bigEndian(in, 2);
  if (magic != geometryMagic || !major || *major < 1 || *major > 3 || !in.skip(2)) return std::nullopt;
  // The frame comes first, then the normal geometry.
  if (!rect(in)) return std::nullopt;
  return rect(in);
}

}  // namespace delvix::desktop
