// The literal layout's routing of the vertical jump lines and placement of the
// comment columns (the "Disposition sans chevauchement" mark off).
#include "tests/flowchart/sheet_clashes.h"
#include "tests/flowchart/sheet_fixture.h"

namespace hc11::test {
namespace {

class RouteLines : public SheetFixture {
 protected:
  RouteLines() { sheet.NoOverlapLayout = false; }
  void BuildClean(const std::string& fn) {
    Build(fn);
    ASSERT_TRUE(messages.shown.empty()) << messages.shown[0].text;
  }
  const TLigneV& Line(int i) { return *sheet.Lines.LineV(i); }

  // No vertical line runs through a box other than its source and target.
  void ExpectClearRoutes() {
    const SheetClashes clashes = FindClashes(sheet);
    EXPECT_TRUE(clashes.crossings.empty()) << Describe(clashes);
  }
};

TEST_F(RouteLines, DownwardLineToAFreeTargetGoesStraightToItsCentre) {
  Codes({"E000|main|A = 1", "E002||(A) = 0|suite", "E004||ret", "E005|suite|B = 1", "E007||ret"});
  BuildClean("main");
  const TRectangle& target = sheet.Boxes[4];
  ASSERT_EQ(target.Genre, 'r');
  EXPECT_EQ(Line(1).Rect.Left, target.CenterX());
  EXPECT_EQ(Line(1).Rect.Bottom, target.Rect.Top);
  EXPECT_FALSE(Line(1).VersGauche);
  ExpectClearRoutes();
}

TEST_F(RouteLines, TwoUpwardJumpsToOneTargetShareTheirColumn) {
  Codes({"E000|main|B = 0", "E002|boucle|B = B + 1", "E003||(B) <> 0|boucle", "E005||C = 1",
         "E007||(C) <> 0|boucle", "E009||ret"});
  BuildClean("main");
  ASSERT_EQ(sheet.Lines.Count(), 6);
  EXPECT_LT(Line(1).Haut, 0);
  EXPECT_LT(Line(4).Haut, 0);
  // Lines to the same target do not push each other aside.
  EXPECT_EQ(Line(1).Rect.Left, Line(4).Rect.Left);
  EXPECT_EQ(Line(1).Rect.Left, std::max(sheet.Boxes[3].Rect.Right, sheet.Boxes[5].Rect.Right) + 5);
  ExpectClearRoutes();
}

TEST_F(RouteLines, UpwardJumpToATargetOnTheLeftPassesLeftOfTheObstacles) {
  Codes({"E000|main|A = 1", "E002||(A) = 0|autre", "E004||ret", "E005|autre|B = 1", "E007||(B) <> 0|main",
         "E009||ret"});
  BuildClean("main");
  ASSERT_EQ(sheet.Boxes[5].ObjetSaut, 1);
  const TLigneV& back = Line(sheet.Boxes[5].ObjetLineV);
  EXPECT_TRUE(back.VersGauche);
  EXPECT_LT(back.Haut, 0);
  EXPECT_EQ(back.Rect.Left, std::min(sheet.Boxes[4].Rect.Left, sheet.Boxes[5].Rect.Left) - 5);
  ExpectClearRoutes();
  ExpectGolden("route_left", sheet.DescribeSheet());
}

TEST_F(RouteLines, RelayoutGivesTheSameRoutes) {
  Codes({"E000|main|B = 0", "E002|boucle|B = B + 1", "E003||(B) <> 0|boucle", "E005||(C) = 0|fin",
         "E007||(C) <> 0|boucle", "E009|fin|ret"});
  BuildClean("main");
  auto before = sheet.DescribeSheet();
  sheet.LayoutPasses();
  sheet.RouteLines();
  sheet.CommentColumns();
  auto after = sheet.DescribeSheet();
  // Only the pass count in the heading differs: the positions have settled.
  EXPECT_EQ(std::vector(after.begin() + 1, after.end()), std::vector(before.begin() + 1, before.end()));
  ExpectClearRoutes();
}

TEST_F(RouteLines, CommentColumnStartsRightOfACrossingLine) {
  Codes({"E000|main|A = [$10+X]", "E002||(A - $20) = 0|fin", "E004||A = 1||un", "E006|fin|ret||fin de main"});
  BuildClean("main");
  const TRectangle& crossed = sheet.Boxes[3];
  EXPECT_EQ(crossed.XComment, Line(1).Rect.Right + 1);
  EXPECT_EQ(crossed.XCommentFin, crossed.XComment + 2 * 6 + 11);
  // Below the line's end the column stays 5 pixels right of the box.
  const TRectangle& below = sheet.Boxes[4];
  EXPECT_EQ(below.XComment, below.Rect.Right + 5);
  EXPECT_EQ(sheet.PicW, std::max(below.XCommentFin, 213 + 25));
}

}  // namespace
}  // namespace hc11::test
