#include "preview/zoom.h"

#include <gtest/gtest.h>

namespace delvix::preview {

namespace {

TEST(Zoom, EnlargesEachPixelToASquareWithinTheMemoryCap) {
  gfx::Image image(2, 1);
  image.at(0, 0) = gfx::rgb(255, 0, 0);
  image.at(1, 0) = gfx::rgb(0, 0, 255);
  const auto twice = zoomed(image, 2);
  ASSERT_TRUE(twice);
  ASSERT_EQ(twice->width(), 4);
  ASSERT_EQ(twice->height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(twice->at(x, y), image.at(x / 2, 0)) << x << "," << y;

  // A 1024 x 768 picture at 1000 % would take 315 MB.
  EXPECT_FALSE(zoomed(gfx::Image(1024, 768), 10));
  EXPECT_TRUE(zoomed(gfx::Image(1024, 768), 4));
  EXPECT_EQ(zoomLabel(1), "100%");
  EXPECT_EQ(zoomLabel(10), "1000%");
}

TEST(Zoom, MarkersCoverThePixelsOfTheByteThatHoldsThePixel) {
  const PreviewLayout layout = zoomedLayout(16, 16, 2, true);
  EXPECT_EQ(layout.plain, (Rect{8, 8, 32, 32}));
  EXPECT_EQ(layout.alpha, (Rect{48, 8, 32, 32}));
  struct Case {
    int bitCount;
    Rect blitting;
    bool alpha;
  };
  for (const Case& c : {Case{32, {8 + 10, 8 + 6, 2, 2}, true}, Case{8, {18, 14, 2, 2}, false},
                        Case{4, {16, 14, 4, 2}, false}, Case{1, {4, 14, 16, 2}, false}}) {
    const MarkerLayout markers = markerLayout(c.bitCount, 5, 3, 2, layout);
    EXPECT_EQ(markers.blitting, c.blitting) << c.bitCount;
    EXPECT_EQ(markers.alpha.has_value(), c.alpha) << c.bitCount;
  }
  EXPECT_EQ(markerLayout(32, 5, 3, 2, layout).alpha, (Rect{58, 14, 2, 2}));
}

}  // namespace

}  // namespace delvix::preview
