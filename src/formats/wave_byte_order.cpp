#include "formats/wave_byte_order.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace delvix::formats {

namespace {

constexpr std::size_t extensibleNumbersEnd = 14;  // valid bits, channel mask, GUID Data1, Data2, Data3

void reverseField(std::span<std::uint8_t> bytes, std::size_t offset, std::size_t width) {
  std::reverse(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
               bytes.begin() + static_cast<std::ptrdiff_t>(offset + width));
}

}  // namespace

void reverseExtensibleNumbers(std::span<std::uint8_t> tail) {
  if (tail.size() < extensibleNumbersEnd) return;
  reverseField(tail, 0, 2);
  reverseField(tail, 2, 4);
  reverseField(tail, 6, 4);
  reverseField(tail, 10, 2);
  reverseField(tail, 12, 2);
}

model::SampleData littleEndianSamples(const model::WaveState& wave) {
  const std::size_t width = wave.containerBytes();
  const bool sampleCoded = wave.isPcm() || wave.format.formatTag == model::waveFloatTag;
  if (!wave.bigEndian || width < 2 || !sampleCoded) return wave.samples;
  auto copy = std::make_shared<std::vector<std::uint8_t>>(wave.samples.size());
  wave.samples.read(0, *copy);
  const std::size_t whole = copy->size() / width * width;
  for (std::size_t offset = 0; offset < whole; offset += width) reverseField(*copy, offset, width);
  return model::SharedBytes(copy, *copy);
}

}  // namespace delvix::formats
