#include "desktop/saved_geometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace delvix::desktop {
namespace {

// As Qt 6 saves it, big-endian: magic, version, frame and normal geometry (left, top, right, bottom), screen,
// two states, screen width, geometry.
std::vector<std::uint8_t> savedGeometry(std::uint32_t magic, std::uint16_t major, Rect normal) {
  std::vector<std::uint8_t> out;
  auto put = [&out](std::uint32_t value, int size) {
    for (int shift = 8 * (size - 1); shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
  };
  auto rect = [&put](const Rect& r) {
    for (int edge : {r.x, r.y, r.x + r.width - 1, r.y + r.height - 1}) put(static_cast<std::uint32_t>(edge), 4);
  };
  put(magic, 4);
  put(major, 2);
  put(0, 2);
  rect({normal.x - 1, normal.y - 20, normal.width + 2, normal.height + 21});
  rect(normal);
  put(0, 4);
  put(0, 2);
  put(1600, 4);
  rect(normal);
  return out;
}

TEST(SavedGeometry, GivesTheNormalGeometryOfWhatQtSavedAndNothingElse) {
  const Rect normal{-40, 50, 1500, 920};
  const auto whole = savedGeometry(0x01D9D0CB, 3, normal);
  EXPECT_EQ(savedNormalGeometry(whole), normal);
  EXPECT_EQ(savedNormalGeometry(std::span(whole).first(40)), normal);
  EXPECT_FALSE(savedNormalGeometry(std::span(whole).first(39)));
  EXPECT_EQ(savedNormalGeometry(savedGeometry(0x01D9D0CB, 1, normal)), normal);
  EXPECT_FALSE(savedNormalGeometry(savedGeometry(0x01D9D0CC, 3, normal)));
  EXPECT_FALSE(savedNormalGeometry(savedGeometry(0x01D9D0CB, 4, normal)));
  EXPECT_FALSE(savedNormalGeometry(savedGeometry(0x01D9D0CB, 3, {10, 10, 0, 5})));
}

}  // namespace
}  // namespace delvix::desktop
