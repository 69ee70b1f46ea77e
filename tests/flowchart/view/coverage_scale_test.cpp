// The coverage tint's scale and the decision counts' text: what the painter
// is given to draw, whatever draws it.
#include <gtest/gtest.h>

#include "flowchart/view/coverage_display.h"

namespace hc11::test {
namespace {

TEST(CoverageScale, GrowsOnALogScaleFromPaleToDeep) {
  auto red = [](Colour c) { return static_cast<int>(c & 0xFF); };
  auto blue = [](Colour c) { return static_cast<int>(c >> 16); };
  EXPECT_EQ(CoverageFill(0, 1000), kNeverRunHatch);
  EXPECT_EQ(CoverageFill(1, 1), CoverageFill(1, 1000));
  // Blue falls as the count grows; 31 of 1000 is half way on a log scale.
  EXPECT_GT(blue(CoverageFill(1, 1000)), blue(CoverageFill(31, 1000)));
  EXPECT_GT(blue(CoverageFill(31, 1000)), blue(CoverageFill(1000, 1000)));
  EXPECT_NEAR(blue(CoverageFill(31, 1000)),
              (blue(CoverageFill(1, 1000)) + blue(CoverageFill(1000, 1000))) / 2, 3);
  EXPECT_EQ(CoverageFill(5000, 1000), CoverageFill(1000, 1000));  // beyond the scale: the deepest
  EXPECT_EQ(red(CoverageFill(1000, 1000)), 0xFF);
  EXPECT_EQ(BranchCountsText({3, 0, true, 12, 0}), "12/0");
}

}  // namespace
}  // namespace hc11::test
