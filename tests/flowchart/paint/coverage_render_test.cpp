// The "Couverture" tint on a painted sheet: off, the drawing is exactly the
// plain one; on, run boxes are filled by count, never-run boxes hatched, and
// a decision shows its taken/not-taken counts, in red when one way never ran.
#include <QImage>
#include <map>

#include "tests/flowchart/paint/paint_env.h"

namespace hc11::test {
namespace {

class CoverageRender : public PaintFixture {
 protected:
  // main: one line at E000, a decision at E002 to fin, E004 never run.
  void Sheet() {
    Codes({"E000|main|A = [$10+X]", "E002||(A - $20) = 0|fin", "E004||A = 1", "E006|fin|ret"});
    Build("main");
  }
  void Counts(std::map<std::uint16_t, LineCoverage> counts) {
    counts_ = std::move(counts);
    display.CoverageHook = [this](std::uint16_t a) {
      const auto it = counts_.find(a);
      return it == counts_.end() ? LineCoverage{} : it->second;
    };
    display.CoverageMax = 10;
  }
  int CountIn(const TRect& r, Colour c) const {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += Pixel(x, y) == c ? 1 : 0;
    return n;
  }
  std::map<std::uint16_t, LineCoverage> counts_;
};

TEST_F(CoverageRender, OffIsThePlainDrawingOnTintsBoxesAndShowsBranchCounts) {
  Sheet();
  const QImage plain = Paint().copy();
  Counts({{0xE000, {10, 10}}, {0xE002, {10, 12, true, 2, 8}}, {0xE006, {1, 2}}});
  const QImage tinted = Paint().copy();
  EXPECT_NE(plain, tinted);
  display.CoverageHook = nullptr;
  EXPECT_EQ(Paint(), plain);  // the mark off again: not one pixel differs

  Counts({{0xE000, {10, 10}}, {0xE002, {10, 12, true, 2, 8}}, {0xE006, {1, 2}}});
  Paint();
  const TRectangle& first = sheet.Boxes[1];
  const TRectangle& never = sheet.Boxes[3];
  const TRectangle& once = sheet.Boxes[4];
  const Colour most = CoverageFill(10, 10), least = CoverageFill(1, 10);
  EXPECT_NE(most, least);
  EXPECT_GT(CountIn(first.Rect, most), 0);
  EXPECT_GT(CountIn(once.Rect, least), 0);
  EXPECT_EQ(CountIn(first.Rect, least), 0);
  // The never-run box: hatch strokes, grey behind its text, no count fill.
  EXPECT_GT(CountIn(never.Rect, kNeverRunHatch), 0);
  EXPECT_GT(CountIn(never.Rect, kNeverRunText), 0);
  EXPECT_EQ(CountIn(never.Rect, most) + CountIn(never.Rect, least), 0);

  // "2/8" left of the decision on grey; a one-way branch on red.
  const TRectangle& decision = sheet.Boxes[2];
  const TRect label{decision.Rect.Left - 2 - 18, decision.MidY() - 6, decision.Rect.Left - 2,
                    decision.MidY() + 6};
  EXPECT_GT(CountIn(label, 0xE0E0E0), 0);
  EXPECT_EQ(CountIn(label, kRed), 0);
  Counts({{0xE000, {10, 10}}, {0xE002, {10, 20, true, 10, 0}}});
  Paint();
  EXPECT_GT(CountIn(TRect{label.Right - 24, label.Top, label.Right, label.Bottom}, kRed), 0);
}

// A never-run box must read as grey, not white; a decision's counts are
// whole wherever the decision stands.
TEST_F(CoverageRender, NeverRunBoxesAreGreyAndBranchCountsAreNeverCut) {
  Sheet();
  Counts({{0xE000, {10, 10}}, {0xE002, {10, 12, true, 2, 8}}, {0xE006, {1, 2}}});
  Paint();
  const TRectangle& never = sheet.Boxes[3];
  const TRect inside{never.Rect.Left + never.LargLabel + 2, never.Rect.Top + 5, never.Rect.Right - 3,
                     never.Rect.Bottom - 6};
  const int area = (inside.Right - inside.Left) * (inside.Bottom - inside.Top);
  ASSERT_GT(area, 0);
  // Near-white (every channel above E8) reads as white on a screen.
  int nearWhite = 0;
  for (int y = inside.Top; y < inside.Bottom; ++y)
    for (int x = inside.Left; x < inside.Right; ++x) {
      const Colour c = Pixel(x, y);
      nearWhite += (c & 0xFF) > 0xE8 && ((c >> 8) & 0xFF) > 0xE8 && (c >> 16) > 0xE8 ? 1 : 0;
    }
  EXPECT_LT(nearWhite * 10, area) << "reads as white";

  TRectangle& decision = sheet.Boxes[2];
  const int width = sheet.Metrics().TextWidth("2/8");
  auto band = [&](int left) {
    return TRect{left, decision.MidY() - sheet.LineH / 2, left + width,
                 decision.MidY() + sheet.LineH / 2 + 1};
  };
  const int whole = CountIn(band(decision.Rect.Left - 2 - width), 0xE0E0E0);
  ASSERT_GT(whole, 0);
  // Near the sheet's left edge there is no room on the left: the counts go
  // to the right of the decision, all of them.
  TRectangle& root = sheet.Boxes[1];  // the others hang from it
  const int shift = decision.Rect.Left - 4;
  root.Rect.Left -= shift;
  root.Rect.Right -= shift;
  Paint();
  ASSERT_LT(decision.Rect.Left - 2 - width, 0);
  EXPECT_EQ(CountIn(band(decision.Rect.Right + 2), 0xE0E0E0), whole);
}

}  // namespace
}  // namespace hc11::test
