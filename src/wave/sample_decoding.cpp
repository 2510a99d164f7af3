#include "wave/sample_decoding.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace delvix::wave {

namespace {

// The 16-bit values of G.711 bytes.
std::int16_t aLawValue(std::uint8_t code) {
  code ^= 0x55;
  int value = (code & 0x0F) << 4;
  const int segment = (code & 0x70) >> 4;
  if (segment == 0)
    value += 8;
  else
    value = (value + 0x108) << (segment - 1);
  return static_cast<std::int16_t>((code & 0x80) ? value : -value);
}

std::int16_t muLawValue(std::uint8_t code) {
  code = static_cast<std::uint8_t>(~code);
  const int value = (((code & 0x0F) << 3) + 0x84) << ((code & 0x70) >> 4);
  return static_cast<std::int16_t>((code & 0x80) ? 0x84 - value : value - 0x84);
}

constexpr float scale16 = 1.0f / 32768.0f;
constexpr float scale32 = 1.0f / 2147483648.0f;

// One table per byte encoding: 256 values each, built once.
using ByteTable = std::array<float, 256>;

template <typename ValueOf>
ByteTable tableOf(ValueOf valueOf) {
  ByteTable table{};
  for (int code = 0; code < 256; ++code)
    table[static_cast<std::size_t>(code)] = valueOf(static_cast<std::uint8_t>(code));
  return table;
}

const ByteTable& tableFor(SampleEncoding encoding) {
  static const ByteTable unsignedTable = tableOf([](std::uint8_t s) { return (s - 128) / 128.0f; });
  static const ByteTable aLawTable = tableOf([](std::uint8_t s) { return aLawValue(s) * scale16; });
  static const ByteTable muLawTable = tableOf([](std::uint8_t s) { return muLawValue(s) * scale16; });
  // One-byte PCM is always unsigned.
  if (encoding == SampleEncoding::aLaw) return aLawTable;
  if (encoding == SampleEncoding::muLaw) return muLawTable;
  return unsignedTable;
}

// The 32 most significant bits of a sample of `Bytes` bytes (Bytes >= 2) as a signed number: the sample
// scaled to fill 32 bits, so that dividing by 2^31 gives -1 to 1 whatever its width.
template <int Bytes, bool BigEndian>
std::int32_t topBits(const std::uint8_t* s) {
  std::uint32_t value = 0;
  constexpr int used = Bytes < 4 ? Bytes : 4;
  for (int i = 0; i < used; ++i) {
    // The i-th most significant byte.
    const std::uint8_t byte = BigEndian ? s[i] : s[Bytes - 1 - i];
    value |= std::uint32_t{byte} << (24 - 8 * i);
  }
  return static_cast<std::int32_t>(value);
}

template <int Bytes, bool BigEndian>
void decodeIntegers(const std::uint8_t* bytes, std::span<float> out) {
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<float>(topBits<Bytes, BigEndian>(bytes + i * Bytes)) * scale32;
}

// The common case on its own, so that the compiler can vectorise it.
template <bool BigEndian>
void decodeSixteenBits(const std::uint8_t* bytes, std::span<float> out) {
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::uint8_t* s = bytes + 2 * i;
    const auto value = static_cast<std::int16_t>(BigEndian ? (s[0] << 8 | s[1]) : (s[0] | s[1] << 8));
    out[i] = value * scale16;
  }
}

template <bool BigEndian>
void decodeIntegers(int containerBytes, const std::uint8_t* bytes, std::span<float> out) {
  switch (containerBytes) {
    case 2: return decodeSixteenBits<BigEndian>(bytes, out);
    case 3: return decodeIntegers<3, BigEndian>(bytes, out);
    case 4: return decodeIntegers<4, BigEndian>(bytes, out);
    case 5: return decodeIntegers<5, BigEndian>(bytes, out);
    case 6: return decodeIntegers<6, BigEndian>(bytes, out);
    case 7: return decodeIntegers<7, BigEndian>(bytes, out);
    case 8: return decodeIntegers<8, BigEndian>(bytes, out);
    default: std::fill(out.begin(), out.end(), 0.0f);
  }
}

template <typename Float, bool BigEndian>
void decodeFloats(const std::uint8_t* bytes, std::span<float> out) {
  for (std::size_t i = 0; i < out.size(); ++i) {
    std::array<std::uint8_t, sizeof(Float)> raw;
    std::memcpy(raw.data(), bytes + i * sizeof(Float), sizeof(Float));
    if constexpr (BigEndian != (std::endian::native == std::endian::big)) std::ranges::reverse(raw);
    const auto value = static_cast<float>(std::bit_cast<Float>(raw));
    out[i] = std::isnan(value) ? 0.0f : value;
  }
}

}  // namespace

void decodeSamples(const SampleLayout& layout, std::span<const std::uint8_t> bytes, std::span<float> out) {
  const std::uint8_t* data = bytes.data();
  if (layout.containerBytes == 1) {
    const ByteTable& table = tableFor(layout.encoding);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = table[data[i]];
    return;
  }
  if (layout.encoding == SampleEncoding::floatingPoint) {
    if (layout.containerBytes == 8)
      layout.bigEndian ? decodeFloats<double, true>(data, out) : decodeFloats<double, false>(data, out);
    else
      layout.bigEndian ? decodeFloats<float, true>(data, out) : decodeFloats<float, false>(data, out);
    return;
  }
  layout.bigEndian ? decodeIntegers<true>(layout.containerBytes, data, out)
                   : decodeIntegers<false>(layout.containerBytes, data, out);
}

}  // namespace delvix::wave
