#include "codecs/apng_encode.h"

#include <zlib.h>

#include <array>
#include <limits>
#include <string_view>

#include "codecs/png_chunks.h"
#include "codecs/png_encode.h"

namespace delvix::codecs {

namespace {

constexpr std::array<std::uint8_t, 8> pngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t largestChunk = 0x7FFFFFFF;

void putBe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.insert(out.end(), {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                         static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
}

void putBe16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.insert(out.end(), {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
}

// Length, type, data and the CRC of type and data.
void putChunk(std::vector<std::uint8_t>& out, std::string_view type, std::span<const std::uint8_t> data) {
  putBe32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32_z(crc, out.data() + typeAt, out.size() - typeAt);
  putBe32(out, static_cast<std::uint32_t>(crc));
}

// What an animation takes from one compressed picture: its header and its image data, the IDAT chunks joined.
struct PngParts {
  std::vector<std::uint8_t> header;
  std::vector<std::uint8_t> imageData;
};

std::optional<PngParts> partsOf(std::span<const std::uint8_t> png) {
  PngParts parts;
  for (const PngChunk& chunk : pngChunks(png)) {
    if (chunk.type == "IHDR") parts.header.assign(chunk.data.begin(), chunk.data.end());
    if (chunk.type == "IDAT") parts.imageData.insert(parts.imageData.end(), chunk.data.begin(), chunk.data.end());
  }
  if (parts.header.size() != 13 || parts.imageData.empty() || parts.imageData.size() > largestChunk - 4)
    return std::nullopt;
  return parts;
}

void putFrameControl(std::vector<std::uint8_t>& out, std::uint32_t sequence, const gfx::Image& picture,
                     const ApngFrame& frame) {
  constexpr std::uint8_t disposeNone = 0;
  constexpr std::uint8_t blendSource = 0;
  std::vector<std::uint8_t> control;
  putBe32(control, sequence);
  putBe32(control, static_cast<std::uint32_t>(picture.width()));
  putBe32(control, static_cast<std::uint32_t>(picture.height()));
  putBe32(control, 0);  // x offset
  putBe32(control, 0);  // y offset
  putBe16(control, frame.delayNumerator);
  putBe16(control, frame.delayDenominator == 0 ? 1 : frame.delayDenominator);
  control.push_back(disposeNone);
  control.push_back(blendSource);
  putChunk(out, "fcTL", control);
}

}  // namespace

std::optional<std::vector<std::uint8_t>> encodeApng(std::span<const gfx::Image> pictures,
                                                    std::span<const ApngFrame> frames) {
  if (pictures.empty() || frames.empty() || frames.size() > std::numeric_limits<std::uint32_t>::max() / 2 - 1)
    return std::nullopt;
  for (const gfx::Image& picture : pictures)
    if (picture.empty() || picture.width() != pictures.front().width() || picture.height() != pictures.front().height())
      return std::nullopt;
  for (const ApngFrame& frame : frames)
    if (frame.picture >= pictures.size()) return std::nullopt;

  std::vector<PngParts> compressed;
  for (const gfx::Image& picture : pictures) {
    auto png = encodePng(picture, PngAlpha::own);
    if (!png) return std::nullopt;
    auto parts = partsOf(*png);
    if (!parts) return std::nullopt;
    compressed.push_back(std::move(*parts));
  }

  std::vector<std::uint8_t> out(pngSignature.begin(), pngSignature.end());
  putChunk(out, "IHDR", compressed.front().header);
  std::vector<std::uint8_t> animationControl;
  putBe32(animationControl, static_cast<std::uint32_t>(frames.size()));
  putBe32(animationControl, 0);  // plays: without end
  putChunk(out, "acTL", animationControl);

  std::uint32_t sequence = 0;
  std::vector<std::uint8_t> frameData;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const ApngFrame& frame = frames[i];
    putFrameControl(out, sequence++, pictures[frame.picture], frame);
    const std::vector<std::uint8_t>& data = compressed[frame.picture].imageData;
    if (i == 0) {
      putChunk(out, "IDAT", data);
      continue;
    }
    frameData.clear();
    putBe32(frameData, sequence++);
    frameData.insert(frameData.end(), data.begin(), data.end());
    putChunk(out, "fdAT", frameData);
  }
  putChunk(out, "IEND", {});
  return out;
}

}  // namespace delvix::codecs
