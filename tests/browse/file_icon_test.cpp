#include "browse/file_icon.h"

#include <gtest/gtest.h>

#include "formats/pe/resource_directory.h"
#include "support/pe_builder.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::browse {
namespace {

using testing::ByteVector;
using testing::IconEntry;
using testing::IconFile;

constexpr gfx::Pixel red = gfx::rgb(255, 0, 0), green = gfx::rgb(0, 255, 0), blue = gfx::rgb(0, 0, 255),
                     grey = gfx::rgb(128, 128, 128);

// A square 32-bit image of one opaque colour.
testing::DibImage solid(int size, gfx::Pixel colour) {
  testing::DibImage image{.width = size, .height = size, .bitCount = 32};
  for (int i = 0; i < size * size; ++i)
    image.colourRows.insert(image.colourRows.end(), {gfx::blue(colour), gfx::green(colour), gfx::red(colour), 0xFF});
  return image;
}

IconFile iconFile(std::initializer_list<std::pair<int, gfx::Pixel>> images, std::uint16_t type = 1) {
  IconFile file;
  file.type = type;
  for (auto [size, colour] : images) file.entries.push_back({solid(size, colour).bytes()});
  return file;
}

ByteVector module(std::initializer_list<std::pair<int, gfx::Pixel>> firstGroup) {
  testing::PeBuilder builder;
  std::vector<testing::GroupEntry> entries;
  std::uint16_t id = 1;
  for (auto [size, colour] : firstGroup) {
    const ByteVector image = solid(size, colour).bytes();
    entries.push_back({static_cast<std::uint16_t>(size), static_cast<std::uint16_t>(size), 1, 32,
                       static_cast<std::uint32_t>(image.size()), id});
    builder.add(formats::pe::rtIcon, std::uint32_t{id++}, image);
  }
  const ByteVector other = solid(16, grey).bytes();
  builder.add(formats::pe::rtIcon, std::uint32_t{99}, other);
  builder.add(formats::pe::rtGroupIcon, std::string("APP"), testing::groupResource(1, entries));
  builder.add(formats::pe::rtGroupIcon, std::string("OTHER"),
              testing::groupResource(1, {{16, 16, 1, 32, static_cast<std::uint32_t>(other.size()), 99}}));
  return builder.build().bytes;
}

TEST(FileIcon, TheSmallestImageOfAtLeast16PixelsScaledTo16) {
  IconFile withPng = iconFile({{32, blue}});
  withPng.entries.push_back({.record = testing::solidPng(16, 16, 0x00FF00FF), .width = 16, .height = 16});
  // A few kilobytes that would decode to more than a million pixels.
  IconFile hugePng;
  hugePng.entries.push_back({.record = testing::solidPng(1025, 1024, 0x00FF00FF), .width = 16, .height = 16});
  IconFile pointsOutside = iconFile({{16, red}});
  pointsOutside.entries[0].imageOffset = 100000;

  struct Case {
    const char* name;
    ByteVector bytes;
    gfx::Pixel middle;  // 0: no icon
  };
  const Case cases[] = {
      {"sizes.ico", iconFile({{32, red}, {16, green}, {48, blue}}).bytes(), green},
      {"too-small.ico", iconFile({{8, red}, {12, blue}}).bytes(), blue},
      {"png.ico", withPng.bytes(), green},
      {"cursor.cur", iconFile({{32, blue}}, 2).bytes(), blue},
      {"frames.ani",
       testing::riff(
           "ACON", {testing::aniHeader({.frames = 2}),
                    testing::list("fram", {testing::iconChunk(solid(32, red)), testing::iconChunk(solid(32, blue))})}),
       red},
      {"app.exe", module({{48, blue}, {16, red}}), red},
      {"saver.SCR", module({{32, green}}), green},
      {"library.dll", module({{16, red}}), 0},
      {"outside.ico", pointsOutside.bytes(), 0},
      {"huge-png.ico", hugePng.bytes(), 0},
      {"not-an-icon.ico", {'R', 'I', 'F', 'F'}, 0},
      {"no-frames.ani", testing::riff("ACON", {testing::aniHeader({})}), 0},
  };
  testing::TempDir dir;
  for (const Case& c : cases) {
    const gfx::Image icon = fileIcon(dir.write(c.name, c.bytes));
    if (!c.middle) {
      EXPECT_TRUE(icon.empty()) << c.name;
      continue;
    }
    ASSERT_EQ(icon.width(), fileIconSize) << c.name;
    ASSERT_EQ(icon.height(), fileIconSize) << c.name;
    EXPECT_EQ(icon.at(8, 8), c.middle) << c.name;
    EXPECT_EQ(icon.at(0, 15), c.middle) << c.name;
  }
}

}  // namespace
}  // namespace delvix::browse
