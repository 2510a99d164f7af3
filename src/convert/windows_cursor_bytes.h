#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gfx/image.h"

// The bytes of new Windows cursor files, built from pictures.
namespace delvix::convert {

// The largest side a cursor file's directory can name (256 is stored as 0).
inline constexpr int largestWindowsCursorSide = 256;

struct CursorPicture {
  gfx::Image image;  // straight alpha, at most largestWindowsCursorSide a side
  std::uint16_t xHot = 0;
  std::uint16_t yHot = 0;
};

// A cursor file (.cur): one directory entry per picture, each picture a 32-bit bitmap with its AND mask
// (set where the picture is fully transparent, so that programs that ignore alpha draw the shape too).
std::vector<std::uint8_t> cursorFileBytes(std::span<const CursorPicture> pictures);

struct InfoItem {
  std::string id;  // "INAM", "IART", "ICOP", "ICMT", ...
  std::string text;
};

struct AnimatedCursorParts {
  std::vector<std::vector<std::uint8_t>> frames;  // each a cursor file
  std::vector<std::uint32_t> sequence;            // the frame each step shows
  std::vector<std::uint32_t> rates;               // each step's time in jiffies (1/60 s)
  std::vector<InfoItem> info;
  std::uint32_t width = 0;  // of the first frame's first picture
  std::uint32_t height = 0;
};

// An animated cursor (.ani): "anih", an INFO list when there are items, "rate" when the steps' times differ,
// "seq " when the steps do not show the frames once each in order, and the frame list.
std::vector<std::uint8_t> animatedCursorBytes(const AnimatedCursorParts& parts);

}  // namespace delvix::convert
