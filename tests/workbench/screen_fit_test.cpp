// Window places brought back onto the visible screen.
#include "workbench/screen_fit.h"

#include <gtest/gtest.h>

namespace hc11::test {
namespace {

TEST(ScreenFitTest, PlacesAreMovedAndShrunkOntoTheScreen) {
  const ScreenRect screen{0, 0, 1280, 720};  // 1920x1080 at 150%
  struct Case {
    const char* what;
    ScreenRect place, screen;
    FrameExtents frame;
    ScreenRect expected;
  };
  const Case cases[] = {
      {"inside stays", {100, 100, 300, 400}, screen, {}, {100, 100, 300, 400}},
      {"saved at 100% beyond the right and bottom", {1535, 815, 330, 420}, screen, {}, {950, 300, 330, 420}},
      {"left of and above the screen", {-500, -40, 330, 420}, screen, {}, {0, 0, 330, 420}},
      {"taller than the screen is shrunk", {10, 10, 330, 900}, screen, {}, {10, 0, 330, 720}},
      {"frame kept on screen too", {0, 0, 300, 200}, screen, {4, 30, 4, 4}, {4, 30, 300, 200}},
      {"frame at the bottom right", {2000, 2000, 300, 200}, screen, {4, 30, 4, 4}, {976, 516, 300, 200}},
      {"second screen to the right", {100, 50, 300, 200}, {1920, 0, 1366, 768}, {}, {1920, 50, 300, 200}},
      {"default 500,500 on 1366x768 below a task bar",
       {500, 500, 330, 420},
       {0, 0, 1366, 728},
       {},
       {500, 308, 330, 420}},
      {"no screen known leaves it", {5000, 5000, 10, 10}, {0, 0, 0, 0}, {}, {5000, 5000, 10, 10}},
  };
  for (const Case& c : cases) EXPECT_EQ(FitOnScreen(c.place, c.screen, c.frame), c.expected) << c.what;
}

TEST(ScreenFitTest, FirstPlaceIsTheFreeAreasCornerOnScreen) {
  const ScreenRect screen{0, 0, 1366, 768};
  // The flowchart's part of the window, between the left docks and the lists.
  const ScreenRect free{520, 80, 560, 660};
  const ScreenRect at = PlaceInFreeArea(330, 420, free, screen, {2, 24, 2, 2});
  EXPECT_EQ(at, (ScreenRect{1078 - 330, 738 - 420, 330, 420}));
  EXPECT_FALSE(at.Intersects({0, 80, 520, 660}));     // the docks
  EXPECT_FALSE(at.Intersects({1080, 80, 286, 660}));  // the lists
  // A free area smaller than the panel: the panel still lands on the screen.
  const ScreenRect tight = PlaceInFreeArea(330, 420, {0, 0, 100, 100}, screen);
  EXPECT_EQ(tight, (ScreenRect{0, 0, 330, 420}));
}

TEST(ScreenFitTest, PaneExtentsFallBackWhenSqueezedAndStayWithinTheWindow) {
  struct Case {
    int saved, fallback, minimum, maximum, expected;
  };
  const Case cases[] = {
      {0, 520, 240, 900, 520},     // none saved
      {90, 520, 240, 900, 520},    // squeezed by a small screen: the default, not the sliver
      {300, 520, 240, 900, 300},   // the user's own width
      {1500, 520, 240, 900, 900},  // wider than the window allows
      {300, 520, 240, 100, 240},   // a window too small for both: the minimum
  };
  for (const Case& c : cases)
    EXPECT_EQ(FitPaneExtent(c.saved, c.fallback, c.minimum, c.maximum), c.expected) << c.saved;
}

TEST(ScreenFitTest, Intersection) {
  const ScreenRect a{0, 0, 10, 10};
  EXPECT_TRUE(a.Intersects({9, 9, 5, 5}));
  EXPECT_FALSE(a.Intersects({10, 0, 5, 5}));  // touching edges do not overlap
  EXPECT_FALSE(a.Intersects({0, 10, 5, 5}));
}

}  // namespace
}  // namespace hc11::test
