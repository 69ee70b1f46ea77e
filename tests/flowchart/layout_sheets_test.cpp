// Whole sheets of small functions, laid out with the fixed-width font.
#include "tests/flowchart/sheet_fixture.h"

namespace hc11::test {
namespace {

class LayoutSheets : public SheetFixture {
 protected:
  void Build(const std::string& fn) {
    Function(fn);
    sheet.BuildLabelIndex();
    ASSERT_TRUE(sheet.BuildFlowchart(fn));
  }
  static TRect R(int l, int t, int r, int b) { return TRect{l, t, r, b}; }
};

TEST_F(LayoutSheets, StraightLineIsOneBoxAtTheTopLeft) {
  Code("E000", "A = $10", "main");
  Code("E002", "call affiche");
  Code("E005", "ret");
  Build("main");
  ASSERT_EQ(sheet.Boxes.Count(), 1);
  const TRectangle& b = sheet.Boxes[1];
  // Three lines of LineH + 3, plus 6; label "main" takes 4*6+3 pixels.
  EXPECT_EQ(b.Haut, 3 * (13 + 3) + 6);
  EXPECT_EQ(b.LargLabel, 27);
  EXPECT_EQ(b.Rect, R(100, 21, 100 + 72 + 3 + 27, 21 + 54));
  EXPECT_TRUE(b.Lignes[1].EstCall);
  EXPECT_EQ(sheet.Lines.Count(), 0);
  EXPECT_EQ(sheet.PicH, 75 + 25);
  EXPECT_TRUE(messages.shown.empty());
  // Lines appended to a box mark their addresses as drawn.
  EXPECT_EQ((*listing.ListingMap)[0xE002], 'R');
  EXPECT_EQ((*listing.ListingMap)[0xE005], 'R');
  ExpectGolden("layout_straight", sheet.DescribeSheet());
}

TEST_F(LayoutSheets, DecisionGetsPointedEndsAndARoutedLine) {
  Code("E000", "A = [$10+X]", "main");
  Code("E002", "(A - $20) = 0", "", "fin");
  Code("E004", "A = 1");
  Code("E006", "ret", "fin");
  Build("main");
  ASSERT_EQ(sheet.Boxes.Count(), 4);
  const TRectangle& dec = sheet.Boxes[2];
  EXPECT_EQ(dec.Triangle, (13 + 9) / 2);
  EXPECT_EQ(dec.PointB, 4);
  EXPECT_EQ(dec.ObjetSaut, 4);
  EXPECT_EQ(dec.ObjetLineV, 1);
  for (int i = 1; i <= 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(sheet.Boxes[i].Relie);
    // Each box hangs centred below the one before.
    EXPECT_EQ(sheet.Boxes[i].CenterX(), sheet.Boxes[1].CenterX());
    if (i > 1) {
      EXPECT_EQ(sheet.Boxes[i].Rect.Top, sheet.Boxes[i - 1].Rect.Bottom);
    }
  }
  ASSERT_EQ(sheet.Lines.Count(), 3);
  EXPECT_EQ(sheet.Lines[2].Genre, 'h');
  EXPECT_EQ(sheet.Lines[3].Genre, 'b');
  // The target hangs in the flow, so the line is routed beside the widest
  // box it passes: 5 pixels right of the decision box.
  const TORect& v = sheet.Lines[1];
  EXPECT_EQ(v.Rect.Left, dec.Rect.Right + 5);
  EXPECT_EQ(v.Rect.Top, dec.MidY());
  EXPECT_EQ(v.Rect.Bottom, sheet.Boxes[4].Rect.Top);
  EXPECT_EQ(sheet.Lines[3].Rect.Left, sheet.Boxes[4].CenterX());
  EXPECT_TRUE(messages.shown.empty());
  ExpectGolden("layout_decision", sheet.DescribeSheet());
}

TEST_F(LayoutSheets, BackwardLoopIsRoutedRightOfTheLastObstacle) {
  Code("E000", "B = 0", "main");
  Code("E002", "B = B + 1", "boucle");
  Code("E003", "(B - 10) <> 0", "", "boucle");
  Code("E005", "ret");
  Build("main");
  ASSERT_EQ(sheet.Boxes.Count(), 4);
  EXPECT_EQ(sheet.Boxes[3].ObjetSaut, 2);
  const TORect& v = sheet.Lines[1];
  EXPECT_LT(v.Haut, 0);  // upward
  EXPECT_EQ(v.Rect.Bottom, sheet.Boxes[2].Rect.Top);
  int rightmost = 0;
  for (int i = 2; i <= 3; ++i) rightmost = std::max(rightmost, sheet.Boxes[i].Rect.Right);
  EXPECT_EQ(v.Rect.Left, rightmost + 5);
  ExpectGolden("layout_loop", sheet.DescribeSheet());
}

TEST_F(LayoutSheets, PendingTargetsAreDrawnInAlphabeticalOrder) {
  Code("E000", "A = $10", "main");
  Code("E002", "(A) = 0", "", "zeta");
  Code("E004", "(B) = 0", "", "alpha");
  Code("E006", "ret");
  Code("E007", "A = 2", "zeta");
  Code("E009", "ret");
  Code("E00A", "A = 1", "alpha");
  Code("E00C", "ret");
  Build("main");
  ASSERT_EQ(sheet.Boxes.Count(), 6);
  EXPECT_EQ(sheet.Boxes[5].Label, "alpha");
  EXPECT_EQ(sheet.Boxes[6].Label, "zeta");
  // Both targets hang beside their decision, and every line stays clear.
  EXPECT_EQ(sheet.Boxes[5].Genre, 'r');
  EXPECT_EQ(sheet.Boxes[5].ObjetParent, 3);
  EXPECT_EQ(sheet.Boxes[6].ObjetParent, 2);
  EXPECT_TRUE(messages.shown.empty());
  ExpectGolden("layout_two_targets", sheet.DescribeSheet());
}

TEST_F(LayoutSheets, CommentsAboveTheLabelMakeACommentBox) {
  Code("D000", "ret", "avant");
  Comment("SepMacro");
  Comment("Fonction principale");
  Comment("entree: A");
  Comment("sortie: rien");
  Code("E000", "A = 1", "main", "", "init");
  Code("E002", "ret");
  Build("main");
  ASSERT_EQ(sheet.Boxes.Count(), 2);
  const TRectangle& c = sheet.Boxes[1];
  EXPECT_FALSE(c.HasAddress());
  ASSERT_EQ(c.Lignes.size(), 3u);
  EXPECT_EQ(c.Lignes[0].Text, "Fonction principale");
  EXPECT_EQ(sheet.Boxes.Premier, 2);
  // The comment box stands above the first box; the code box's comment
  // column starts 5 pixels right of it and is as wide as the comment.
  EXPECT_LE(c.Rect.Bottom, sheet.Boxes[2].Rect.Top);
  EXPECT_EQ(sheet.Boxes[2].XComment, sheet.Boxes[2].Rect.Right + 5);
  EXPECT_EQ(sheet.Boxes[2].XCommentFin, sheet.Boxes[2].XComment + 4 * 6 + 11);
  ExpectGolden("layout_comment_box", sheet.DescribeSheet());
}

TEST_F(LayoutSheets, CommentsAboveAPendingTargetOpenItsDrawing) {
  Code("E000", "A = 1", "main");
  Code("E002", "(A) = 0", "", "autre");
  Code("E004", "ret");
  Comment("la suite");
  Code("E005", "B = 1", "autre");
  Code("E007", "ret");
  Build("main");
  ASSERT_EQ(sheet.Boxes.Count(), 5);
  EXPECT_EQ(sheet.Boxes[3].Lignes.size(), 1u);  // the ret box of main keeps its one line
  const TRectangle& c = sheet.Boxes[4];
  EXPECT_FALSE(c.HasAddress());
  EXPECT_EQ(c.Lignes[0].Text, "la suite");
  EXPECT_EQ(c.Genre, 'r');
  EXPECT_EQ(c.ObjetParent, 5);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(LayoutSheets, CommentOnTheFirstRecordOfTheListIsKept) {
  Comment("tout en haut");
  Code("E000", "ret", "main");
  Build("main");
  ASSERT_EQ(sheet.Boxes.Count(), 2);
  EXPECT_EQ(sheet.Boxes[1].Lignes[0].Text, "tout en haut");
}

TEST_F(LayoutSheets, IndexedCallNamesTheTableAndAddsIt) {
  Code("E000", "D = D + #tab,1", "main");
  Code("E003", "call [X]");
  Code("E005", "ret");
  Build("main");
  ASSERT_EQ(sheet.Boxes.Count(), 1);
  EXPECT_EQ(sheet.Boxes[1].Lignes[1].Text, "call [tab]");
  ASSERT_TRUE(listing.FunctionList.entries.count("tab"));
  EXPECT_EQ(listing.FunctionList.entries.at("tab").Adresse, 0);
  ExpectGolden("layout_indexed_call", sheet.DescribeSheet());
}

TEST_F(LayoutSheets, JumpEndsThePathAndItsTargetHangsBelowTheJumpBox) {
  Code("E000", "A = 1", "main");
  Code("E002", "", "", "fin");
  Code("E004", "A = 2", "mort");
  Code("E006", "ret", "fin");
  Build("main");
  ASSERT_EQ(sheet.Boxes.Count(), 3);  // "mort" is never reached
  const TRectangle& jump = sheet.Boxes[2];
  const TRectangle& fin = sheet.Boxes[3];
  EXPECT_TRUE(jump.IsJumpBox());
  EXPECT_EQ(fin.ObjetParent, 2);
  EXPECT_EQ(fin.Genre, 'r');
  EXPECT_EQ(fin.OfsY, jump.Haut + 10);
  EXPECT_EQ(fin.CenterX(), jump.CenterX());
  ExpectGolden("layout_jump", sheet.DescribeSheet());
}

TEST_F(LayoutSheets, PathRunningIntoDrawnLinesHangsTheBoxMet) {
  Code("E000", "B = 2", "autre");
  Code("E002", "A = 1", "main");
  Code("E004", "(A) = 0", "", "autre");
  Code("E006", "ret");
  Function("main");
  sheet.BuildChains("main");
  // main, decision, ret, then autre, which runs into main's first line: that
  // line is not drawn twice and its box hangs below autre's.
  ASSERT_EQ(sheet.Boxes.Count(), 4);
  EXPECT_EQ(sheet.Boxes[4].Label, "autre");
  EXPECT_EQ(sheet.Boxes[1].ObjetParent, 4);
  EXPECT_EQ(sheet.BoxOfLine(1), 1);
  EXPECT_EQ(sheet.BoxOfLine(0), 4);
  EXPECT_EQ(sheet.BoxOfAddress("e000"), 4);
  EXPECT_EQ(sheet.BoxOfLabel("autre"), 4);
  EXPECT_EQ(sheet.BoxOfLabel("Autre"), 0);
}

TEST_F(LayoutSheets, SideExitHangsTheTargetRightAndLeadsTheLineToTheNextBox) {
  Code("E000", "A = 1", "main");
  Code("E002", "(A) = 0", "test", "fin");
  Code("E004", "A = 2");
  Code("E006", "ret", "fin");
  sheet.Coords().Lines = {"main;test;n;;;"};
  Build("main");
  const TRectangle& dec = sheet.Boxes[2];
  EXPECT_EQ(dec.PointD, 4);
  EXPECT_EQ(dec.PointB, 0);
  EXPECT_EQ(sheet.Boxes[4].ObjetParent, 2);
  EXPECT_EQ(sheet.Boxes[3].Genre, 'r');
  EXPECT_EQ(sheet.Boxes[3].ObjetParent, 2);
  EXPECT_EQ(sheet.Lines[1].ObjetParentb, 3);
  ExpectGolden("layout_side_exit", sheet.DescribeSheet());
}

TEST_F(LayoutSheets, TargetMarkedRIsShownAsATitleBoxBesideTheDecision) {
  Code("E000", "A = 1", "main");
  Code("E002", "(A) = 0", "", "fin");
  Code("E004", "A = 2");
  Code("E006", "ret", "fin");
  sheet.Coords().Lines = {"main;fin;;;;;r"};
  Build("main");
  ASSERT_EQ(sheet.Boxes.Count(), 5);
  const TRectangle& title = sheet.Boxes[5];
  const TRectangle& dec = sheet.Boxes[2];
  EXPECT_TRUE(title.Titre);
  EXPECT_EQ(title.Texte2, "fin");
  EXPECT_EQ(title.AddrText, "E002");
  EXPECT_EQ(title.Larg, 3 * 6 + 15);
  EXPECT_EQ(title.Rect.Left, dec.Rect.Right);
  EXPECT_EQ(title.Rect.Top, dec.MidY() - 15 / 2);
  EXPECT_EQ(sheet.Lines.Count(), 0);
  EXPECT_EQ(dec.ObjetSaut, 0);
}

TEST_F(LayoutSheets, MissingTargetIsReportedExceptDebprogr) {
  Code("E000", "(A) = 0", "main", "nulle_part");
  Code("E002", "(B) = 0", "", "debprogr");
  Code("E004", "ret");
  Build("main");
  EXPECT_EQ(ErrorTexts(), (std::vector<std::string>{"manque label \"nulle_part\"    i=1  $E000 "}));
  EXPECT_EQ(messages.shown[0].caption, "Erreur");
  EXPECT_EQ(sheet.Boxes[1].Triangle, 11);  // still a decision box
}

TEST_F(LayoutSheets, RelativeJumpResolvesByAddress) {
  Code("E000", "A = 1", "main");
  Code("E002", "(A) = 0", "", "$ 3");
  Code("E004", "A = 2");
  Code("E006", "ret", "fin");
  Build("main");
  // $E002 + 3 + 1 = $E006, the box labelled fin.
  EXPECT_EQ(sheet.Boxes[2].ObjetSaut, 4);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(LayoutSheets, EmptyFunctionBuildsNothing) {
  Code("E000", "ret", "main");
  EXPECT_FALSE(sheet.BuildFlowchart("absente"));
  EXPECT_EQ(sheet.Boxes.Count(), 0);
  EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace hc11::test
