// Zooming, scrolling, the overview and the mouse over the wave view, for files of any length.
#include "wave/view_state.h"

#include <gtest/gtest.h>

#include <climits>

namespace delvix::wave {
namespace {

ViewState viewOf(std::uint64_t frames, int width) {
  ViewState view;
  view.reset(frames);
  view.setWidth(width);
  return view;
}

TEST(ViewState, ZoomKeepsTheFrameUnderTheMouseBetweenOneFramePerColumnAndTheWholeFile) {
  ViewState view = viewOf(1'000'000, 1000);
  EXPECT_FALSE(view.canZoomIn());
  EXPECT_EQ(view.lastFirst(), 999'000u);
  view.scrollTo(10'000);
  view.zoom(-1, 500);  // out around column 500, frame 10 500
  EXPECT_EQ(view.framesPerColumn(), 2);
  EXPECT_EQ(view.frameAt(500), 10'500u);
  view.zoom(-3, 250);
  EXPECT_EQ(view.framesPerColumn(), 16);
  view.zoom(-20, 0);  // stops at the whole file, which then starts at the first column
  EXPECT_EQ(view.framesPerColumn(), 1000);
  EXPECT_FALSE(view.canZoomOut());
  EXPECT_EQ(view.first(), 0u);
  view.zoom(30, 999);  // all the way in, around the last column's first frame
  EXPECT_EQ(view.framesPerColumn(), 1);
  EXPECT_EQ(view.frameAt(999), 999'000u);
  view.showAll();
  EXPECT_EQ(view.frameAt(999), 999'000u);
  EXPECT_EQ(view.visibleFrames(), 1'000'000u);

  // A file shorter than the boxes cannot zoom at all, and the mouse past its end is on no frame.
  ViewState shorter = viewOf(300, 1000);
  EXPECT_FALSE(shorter.canZoomIn() || shorter.canZoomOut());
  EXPECT_EQ(shorter.frameAt(299), 299u);
  EXPECT_FALSE(shorter.frameAt(300));
  EXPECT_FALSE(shorter.frameAt(-1));
}

TEST(ViewState, PagesHomeEndAndTheMouseAtAnyZoom) {
  ViewState view = viewOf(100'000, 400);
  view.pageForward();
  EXPECT_EQ(view.first(), 400u);
  view.pageBack(), view.pageBack();
  EXPECT_EQ(view.first(), 0u);
  view.end();
  EXPECT_EQ(view.first(), 99'600u);
  view.pageForward();
  EXPECT_EQ(view.first(), 99'600u);
  view.zoom(-4, 0);  // 16 frames per column
  EXPECT_EQ(view.columnOf(view.first() + 15), 0);
  EXPECT_EQ(view.columnOf(view.first() + 16), 1);
  EXPECT_EQ(view.frameAt(1), view.first() + 16);
  EXPECT_FALSE(view.columnOf(view.first() - 1));
  view.home();
  view.scrollColumns(3);
  EXPECT_EQ(view.first(), 48u);
  EXPECT_FALSE(view.columnOf(48 + 400 * 16));
}

TEST(ViewState, TheScrollBarReachesTheEndOfFilesLongerThanAnIntCounts) {
  struct Case {
    std::uint64_t frames;
    int zoomOut;
  };
  for (const Case& c : {Case{1000, 0}, Case{5'000'000'000ull, 0}, Case{5'000'000'000ull, 10}, Case{44'100, 3}}) {
    ViewState view = viewOf(c.frames, 800);
    view.zoom(-c.zoomOut, 0);
    const TrackScale scale = view.scrollScale();
    EXPECT_LE(scale.maximum, INT_MAX);
    view.scrollToPosition(scale.maximum);
    EXPECT_EQ(view.first(), view.lastFirst()) << c.frames;
    EXPECT_EQ(view.scrollPosition(), scale.maximum) << c.frames;
    view.scrollToPosition(scale.maximum / 2);
    EXPECT_NEAR(static_cast<double>(view.scrollPosition()), scale.maximum / 2, 1) << c.frames;
    view.scrollToPosition(0);
    EXPECT_EQ(view.first(), 0u);
  }
}

TEST(ViewState, TheOverviewMarksWhatIsInViewAndMovesIt) {
  ViewState view = viewOf(1'000'000, 1000);
  EXPECT_EQ(view.overviewMark(500), (std::pair{0, 1}));  // a thousand frames of a million: at least a column
  view.zoom(-6, 0);                                      // 64 000 frames in view
  view.centreOnOverview(250, 500);                       // the middle of the file
  EXPECT_NEAR(static_cast<double>(view.first() + view.visibleFrames() / 2), 501'000, 1);
  const auto [from, to] = view.overviewMark(500);
  EXPECT_EQ(from, 234);
  EXPECT_EQ(to, 267);
  view.centreOnOverview(499, 500);
  EXPECT_EQ(view.first(), view.lastFirst());
  view.centreOnOverview(-10, 500);
  EXPECT_EQ(view.first(), 0u);
  EXPECT_EQ(viewOf(0, 100).overviewMark(100), (std::pair{0, 0}));
}

TEST(ViewState, TheAmplitudeZoomDoublesFromOneTo64) {
  ViewState view;
  EXPECT_FALSE(view.canSoften());
  for (int i = 0; i < 10; ++i) view.amplify();
  EXPECT_EQ(view.gain(), 64);
  EXPECT_FALSE(view.canAmplify());
  view.soften();
  EXPECT_EQ(view.gain(), 32);
}

}  // namespace
}  // namespace delvix::wave
