// giflib's reading of a GIF file, the oracle of the GIF codec's tests.
#pragma once

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "codecs/gif/gif_codec.h"
#include "gfx/image.h"

namespace delvix::testing {

// What giflib reads from the file: the first image's indexes, the global table and the transparent entry.
struct GiflibReading {
  int width = 0;
  int height = 0;
  int imageCount = 0;
  std::vector<gfx::Pixel> table;
  std::optional<int> transparentIndex;
  std::vector<std::uint8_t> indexes;
};

inline std::optional<GiflibReading> readWithGiflib(std::span<const std::uint8_t> bytes) {
  struct Source {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
  } source{bytes};
  auto read = [](GifFileType* file, GifByteType* out, int length) -> int {
    auto& from = *static_cast<Source*>(file->UserData);
    const std::size_t n = std::min(static_cast<std::size_t>(std::max(length, 0)), from.bytes.size() - from.at);
    if (n > 0) std::memcpy(out, from.bytes.data() + from.at, n);
    from.at += n;
    return static_cast<int>(n);
  };
  int error = 0;
  std::unique_ptr<GifFileType, void (*)(GifFileType*)> file(DGifOpen(&source, read, &error),
                                                            [](GifFileType* f) { DGifCloseFile(f, nullptr); });
  if (!file || DGifSlurp(file.get()) != GIF_OK || file->ImageCount < 1 || !file->SColorMap) return std::nullopt;

  GiflibReading reading;
  reading.width = file->SWidth;
  reading.height = file->SHeight;
  reading.imageCount = file->ImageCount;
  for (int i = 0; i < file->SColorMap->ColorCount; ++i) {
    const GifColorType& c = file->SColorMap->Colors[i];
    reading.table.push_back(gfx::rgb(c.Red, c.Green, c.Blue));
  }
  GraphicsControlBlock control;
  if (DGifSavedExtensionToGCB(file.get(), 0, &control) == GIF_OK && control.TransparentColor != NO_TRANSPARENT_COLOR)
    reading.transparentIndex = control.TransparentColor;
  const SavedImage& image = file->SavedImages[0];
  const auto pixels =
      static_cast<std::size_t>(image.ImageDesc.Width) * static_cast<std::size_t>(image.ImageDesc.Height);
  reading.indexes.assign(image.RasterBits, image.RasterBits + pixels);
  return reading;
}

// The picture giflib reads, transparent pixels as the key colour.
inline gfx::Image pictureOf(const GiflibReading& reading) {
  gfx::Image picture(reading.width, reading.height);
  for (std::size_t i = 0; i < reading.indexes.size() && i < picture.pixels().size(); ++i) {
    const int index = reading.indexes[i];
    picture.pixels()[i] =
        index == reading.transparentIndex ? gfx::transparentKey : reading.table.at(static_cast<std::size_t>(index));
  }
  return picture;
}

}  // namespace delvix::testing
