#include "desktop/screen_fit.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace delvix::desktop {
namespace {

TEST(ScreenFit, KeepsAWindowWhollyOnTheScreenItIsMostOn) {
  const std::vector<Rect> none;
  const std::vector<Rect> one{{0, 0, 1024, 600}};
  // The available areas of two screens side by side, the right one with a panel at its top.
  const std::vector<Rect> two{{0, 0, 1600, 1000}, {1600, 30, 1280, 994}};
  struct Case {
    const char* what;
    Rect frame;
    const std::vector<Rect>& screens;
    Rect fitted;
  };
  const std::vector<Case> cases{
      {"already on the screen", {100, 50, 800, 450}, one, {100, 50, 800, 450}},
      {"right and bottom edge off", {392, 275, 900, 500}, one, {124, 100, 900, 500}},
      {"larger than the screen", {300, 200, 1500, 950}, one, {0, 0, 1024, 600}},
      {"above and left of it", {-300, -40, 700, 400}, one, {0, 0, 700, 400}},
      {"off every screen", {5000, 3000, 700, 400}, two, {2180, 624, 700, 400}},
      {"mostly on the second", {1500, 0, 800, 500}, two, {1600, 30, 800, 500}},
      {"across both, more on the first", {1000, 100, 800, 500}, two, {800, 100, 800, 500}},
      {"taller than the second", {1700, 100, 800, 1200}, two, {1700, 30, 800, 994}},
      {"at the ends of the numbers", {INT_MAX - 10, INT_MIN, INT_MAX, INT_MAX}, one, {0, 0, 1024, 600}},
      {"no screens", {5000, 3000, 700, 400}, none, {5000, 3000, 700, 400}},
  };
  for (const Case& c : cases) EXPECT_EQ(fitToScreens(c.frame, c.screens), c.fitted) << c.what;
}

}  // namespace
}  // namespace delvix::desktop
