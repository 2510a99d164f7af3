#include "preview/hot_spot.h"

#include <gtest/gtest.h>

#include <limits>

#include "formats/ani_reader.h"
#include "formats/ico_reader.h"
#include "formats/module_reader.h"
#include "formats/pe/resource_directory.h"
#include "support/pe_builder.h"
#include "support/riff_builder.h"

namespace delvix::preview {
namespace {

using testing::ByteVector;
using testing::DibImage;
using testing::IconFile;

ByteVector picture(int size) {
  DibImage image;
  image.width = image.height = size;
  return image.bytes();
}

// A file of two 16-pixel pictures; in a cursor file planes and bit count are the hot spot.
IconFile twoPictures(std::uint16_t type) {
  IconFile file;
  file.type = type;
  file.entries = {{.record = picture(16), .planes = 5, .bitCount = 7},
                  {.record = picture(16), .planes = 1, .bitCount = 2}};
  return file;
}

struct Read {
  model::Document document;
  formats::RecordingReporter reporter;
};

TEST(HotSpot, ComesFromCursorEntriesFramesAndRecordsAndIconsHaveNone) {
  const std::optional<Point> none;
  const int past = std::numeric_limits<int>::max();
  struct Case {
    const char* file;
    std::vector<std::optional<Point>> spots;  // pictures 0, 1, 2, -1, past
  };
  auto check = [&](const Read& read, const Case& c) {
    const std::vector<int> indexes{0, 1, 2, -1, past};
    for (std::size_t i = 0; i < indexes.size(); ++i)
      EXPECT_EQ(hotSpotOf(read.document, indexes[i]), i < c.spots.size() ? c.spots[i] : none)
          << c.file << " picture " << indexes[i];
  };

  for (const std::uint16_t type : {2, 1}) {
    Read read;
    ASSERT_TRUE(formats::readIconFile(twoPictures(type).bytes(), read.document, {}, read.reporter));
    check(read, type == 2 ? Case{"cursor", {Point{5, 7}, Point{1, 2}}} : Case{"icon", {}});
  }

  // Each frame of an animated cursor is a file of its own: a cursor's frame has a hot spot, an icon's has none.
  IconFile cursorFrame = twoPictures(2), iconFrame = twoPictures(1);
  cursorFrame.entries.resize(1);
  iconFrame.entries.resize(1);
  Read ani;
  ASSERT_TRUE(formats::readAnimatedCursor(
      testing::riff("ACON", {testing::aniHeader({.frames = 2, .steps = 2}),
                             testing::list("fram", {testing::iconChunk(cursorFrame), testing::iconChunk(iconFrame)})}),
      ani.document, {}, ani.reporter));
  check(ani, {"animated cursor", {Point{5, 7}, none}});

  // A module's cursor carries its hot spot before the image; its icons have none.
  testing::PeBuilder builder;
  builder.add(formats::pe::rtCursor, std::uint32_t{1}, testing::cursorResource(3, 4, picture(16)));
  builder.add(formats::pe::rtGroupCursor, std::uint32_t{2}, testing::groupResource(2, {{16, 32, 1, 1, 0, 1}}));
  builder.add(formats::pe::rtIcon, std::uint32_t{3}, picture(16));
  builder.add(formats::pe::rtGroupIcon, std::uint32_t{4}, testing::groupResource(1, {{16, 16, 1, 32, 0, 3}}));
  Read module;
  ASSERT_TRUE(formats::readModule(builder.build().bytes, module.document, {}, {}, module.reporter));
  std::vector<std::optional<Point>> moduleSpots;
  for (int index = 0; index < 2; ++index) moduleSpots.push_back(hotSpotOf(module.document, index));
  EXPECT_EQ(std::count(moduleSpots.begin(), moduleSpots.end(), Point{3, 4}), 1);
  EXPECT_EQ(std::count(moduleSpots.begin(), moduleSpots.end(), none), 1);
}

TEST(HotSpot, CrossSitsOnTheMiddleOfThePixelAtEveryZoomAndNotOutsideThePicture) {
  struct Case {
    Point spot;
    int zoom;
    std::optional<HotSpotCross> cross;
  };
  for (const Case& c : {Case{{16, 16}, 1, HotSpotCross{{16, 16}, 4}}, Case{{16, 16}, 7, HotSpotCross{{115, 115}, 16}},
                        Case{{0, 31}, 2, HotSpotCross{{1, 63}, 6}}, Case{{31, 0}, 10, HotSpotCross{{315, 5}, 22}},
                        Case{{32, 0}, 1, std::nullopt}, Case{{0, 32}, 7, std::nullopt}, Case{{-1, 3}, 1, std::nullopt},
                        Case{{65535, 65535}, 10, std::nullopt}, Case{{1, 1}, 0, std::nullopt}})
    EXPECT_EQ(hotSpotCross(c.spot, 32, 32, c.zoom), c.cross) << c.spot.x << "," << c.spot.y << " at " << c.zoom;
}

}  // namespace
}  // namespace delvix::preview
