#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/byte_reader.h"

// The files a module's resources are made from, read strictly: what a module would store is taken from them
// only when every part of it is there.
namespace delvix::formats::pe {

// One picture of an icon or cursor file: its directory entry's fields and its image (a view into the file).
struct FilePicture {
  std::uint8_t width = 0;  // 0 stands for 256
  std::uint8_t height = 0;
  std::uint8_t colourCount = 0;
  std::uint8_t reserved = 0;
  std::uint16_t planes = 0;    // a cursor's hot spot x
  std::uint16_t bitCount = 0;  // a cursor's hot spot y
  Bytes image;
};

struct IconFilePictures {
  bool cursor = false;
  std::vector<FilePicture> pictures;
};

// The pictures of an .ico or .cur file; nullopt with the reason when its directory or a picture is damaged or
// missing, or a picture is neither a PNG image nor a bitmap.
std::optional<IconFilePictures> readIconFilePictures(Bytes file, std::string& whyNot);

// The planes and bit count that a picture's own header gives (a PNG image: 1 and 32).
std::pair<std::uint16_t, std::uint16_t> planesAndBitCount(Bytes image);

// A .bmp file as a bitmap resource stores it: without its 14-byte file header, and without a gap the header
// leaves before the pixels. Nullopt with the reason when it is no bitmap or is cut short.
std::optional<std::vector<std::uint8_t>> packedBitmapOfBmpFile(Bytes file, std::string& whyNot);

// Whether `file` is an animated cursor (a RIFF "ACON" form with its "anih" header) that a module can store as
// it is; the reason when it is not.
bool isAnimatedCursorFile(Bytes file, std::string& whyNot);

}  // namespace delvix::formats::pe
