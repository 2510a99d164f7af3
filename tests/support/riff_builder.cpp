#include "support/riff_builder.h"

namespace delvix::testing {

namespace {

void appendCode(ByteVector& out, std::string_view code) {
  for (std::size_t i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(i < code.size() ? code[i] : ' '));
}

ByteVector container(std::string_view id, std::string_view type, std::initializer_list<ByteVector> chunks,
                     std::optional<std::uint32_t> declaredSize) {
  ByteVector body;
  appendCode(body, type);
  for (const ByteVector& c : chunks) body.insert(body.end(), c.begin(), c.end());
  ByteVector out;
  appendCode(out, id);
  appendLe32(out, declaredSize.value_or(static_cast<std::uint32_t>(body.size())));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

}  // namespace

ByteVector joined(std::initializer_list<ByteVector> parts) {
  ByteVector out;
  for (const ByteVector& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

ByteVector chunk(std::string_view code, const ByteVector& data, ChunkOptions options) {
  ByteVector out;
  appendCode(out, code);
  appendLe32(out, options.declaredSize.value_or(static_cast<std::uint32_t>(data.size())));
  out.insert(out.end(), data.begin(), data.end());
  if (options.pad && data.size() % 2) out.push_back(0);
  return out;
}

ByteVector list(std::string_view type, std::initializer_list<ByteVector> chunks) {
  return container("LIST", type, chunks, std::nullopt);
}

ByteVector riff(std::string_view form, std::initializer_list<ByteVector> chunks,
                std::optional<std::uint32_t> declaredSize) {
  return container("RIFF", form, chunks, declaredSize);
}

ByteVector u32s(std::initializer_list<std::uint32_t> values) {
  ByteVector out;
  for (std::uint32_t v : values) appendLe32(out, v);
  return out;
}

ByteVector text(std::string_view value) {
  ByteVector out(value.begin(), value.end());
  out.push_back(0);
  return out;
}

ByteVector aniHeader(AniHeaderFields f) {
  return chunk("anih", u32s({36, f.frames, f.steps, 0, 0, f.bitCount, 1, f.displayRate, f.attributes}));
}

ByteVector iconChunk(const DibImage& image) {
  IconFile file;
  file.type = 2;
  file.entries.push_back({image.bytes()});
  return iconChunk(file);
}

ByteVector iconChunk(const IconFile& file) { return chunk("icon", file.bytes()); }

ByteVector frameList(std::size_t frames, const DibImage& image) {
  ByteVector data{'f', 'r', 'a', 'm'};
  const ByteVector icon = iconChunk(image);
  for (std::size_t i = 0; i < frames; ++i) data.insert(data.end(), icon.begin(), icon.end());
  return chunk("LIST", data);
}

ByteVector waveFormat(const WaveFormatFields& f) {
  ByteVector data;
  appendLe16(data, f.formatTag);
  appendLe16(data, f.channels);
  appendLe32(data, f.samplesPerSecond);
  const std::uint16_t align = f.blockAlign.value_or(static_cast<std::uint16_t>(f.channels * f.bitsPerSample / 8));
  appendLe32(data, f.samplesPerSecond * align);
  appendLe16(data, align);
  appendLe16(data, f.bitsPerSample);
  data.insert(data.end(), f.extra.begin(), f.extra.end());
  return chunk("fmt ", data);
}

}  // namespace delvix::testing
