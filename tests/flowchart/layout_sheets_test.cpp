// Whole sheets of small functions, laid out with the fixed-width font; the
// golden files pin every box's and line's geometry in the literal layout
// (the "Disposition sans chevauchement" mark off), which must not move.
#include "tests/flowchart/sheet_fixture.h"

namespace hc11::test {
namespace {

class LayoutSheets : public SheetFixture {
 protected:
  LayoutSheets() { sheet.NoOverlapLayout = false; }
};

TEST_F(LayoutSheets, StraightLineIsOneBoxAtTheTopLeft) {
  Codes({"E000|main|A = $10", "E002||call affiche", "E005||ret"});
  Build("main");
  ASSERT_EQ(sheet.Boxes.Count(), 1);
  EXPECT_TRUE(sheet.Boxes[1].Lignes[1].EstCall);
  EXPECT_TRUE(messages.shown.empty());
  // Lines appended to a box mark their addresses as drawn.
  EXPECT_EQ((*listing.ListingMap)[0xE002], 'R');
  EXPECT_EQ((*listing.ListingMap)[0xE005], 'R');
  ExpectGolden("layout_straight", sheet.DescribeSheet());
}

TEST_F(LayoutSheets, DecisionGetsPointedEndsAndARoutedLine) {
  Codes({"E000|main|A = [$10+X]", "E002||(A - $20) = 0|fin", "E004||A = 1", "E006|fin|ret"});
  Build("main");
  for (int i = 1; i <= sheet.Boxes.Count(); ++i) EXPECT_TRUE(sheet.Boxes[i].Relie) << i;
  EXPECT_TRUE(messages.shown.empty());
  ExpectGolden("layout_decision", sheet.DescribeSheet());
}

TEST_F(LayoutSheets, BackwardLoopIsRoutedRightOfTheLastObstacle) {
  Codes({"E000|main|B = 0", "E002|boucle|B = B + 1", "E003||(B - 10) <> 0|boucle", "E005||ret"});
  Build("main");
  ExpectGolden("layout_loop", sheet.DescribeSheet());
}

TEST_F(LayoutSheets, PendingTargetsAreDrawnInAlphabeticalOrder) {
  Codes({"E000|main|A = $10", "E002||(A) = 0|zeta", "E004||(B) = 0|alpha", "E006||ret", "E007|zeta|A = 2",
         "E009||ret", "E00A|alpha|A = 1", "E00C||ret"});
  // The literal layout, in which the two targets overlap.
  sheet.NoOverlapLayout = false;
  Build("main");
  ASSERT_EQ(sheet.Boxes.Count(), 6);
  EXPECT_EQ(sheet.Boxes[5].Label, "alpha");
  EXPECT_TRUE(messages.shown.empty());
  ExpectGolden("layout_two_targets", sheet.DescribeSheet());
}

TEST_F(LayoutSheets, CommentsAboveTheLabelMakeACommentBox) {
  Codes({"D000|avant|ret", "||||SepMacro", "||||Fonction principale", "||||entree: A", "||||sortie: rien",
         "E000|main|A = 1||init", "E002||ret"});
  Build("main");
  // The code box's comment column starts 5 pixels right of it and is as
  // wide as the comment.
  EXPECT_EQ(sheet.Boxes[2].XComment, sheet.Boxes[2].Rect.Right + 5);
  EXPECT_EQ(sheet.Boxes[2].XCommentFin, sheet.Boxes[2].XComment + 4 * 6 + 11);
  ExpectGolden("layout_comment_box", sheet.DescribeSheet());
}

TEST_F(LayoutSheets, CommentsAboveAPendingTargetOrAtTheTopOfTheListAreKept) {
  Codes({"||||tout en haut", "E000|main|A = 1", "E002||(A) = 0|autre", "E004||ret", "||||la suite",
         "E005|autre|B = 1", "E007||ret"});
  Build("main");
  ASSERT_EQ(sheet.Boxes.Count(), 6);
  EXPECT_EQ(sheet.Boxes[1].Lignes[0].Text, "tout en haut");
  EXPECT_EQ(sheet.Boxes[4].Lignes.size(), 1u);  // the ret box of main keeps its one line
  const TRectangle& c = sheet.Boxes[5];
  EXPECT_EQ(c.Lignes[0].Text, "la suite");
  EXPECT_EQ(c.Genre, 'r');
  EXPECT_EQ(c.ObjetParent, 6);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(LayoutSheets, IndexedCallNamesTheTableAndAddsIt) {
  Codes({"E000|main|D = D + #tab,1", "E003||call [X]", "E005||ret"});
  Build("main");
  ASSERT_TRUE(listing.FunctionList.entries.count("tab"));
  EXPECT_EQ(listing.FunctionList.entries.at("tab").Adresse, 0);
  ExpectGolden("layout_indexed_call", sheet.DescribeSheet());
}

TEST_F(LayoutSheets, JumpEndsThePathAndItsTargetHangsBelowTheJumpBox) {
  // never reached
  Codes({"E000|main|A = 1", "E002|||fin", "E004|mort|A = 2", "E006|fin|ret"});
  Build("main");
  EXPECT_TRUE(sheet.Boxes[2].IsJumpBox());
  ExpectGolden("layout_jump", sheet.DescribeSheet());
}

TEST_F(LayoutSheets, PathRunningIntoDrawnLinesHangsTheBoxMet) {
  Codes({"E000|autre|B = 2", "E002|main|A = 1", "E004||(A) = 0|autre", "E006||ret"});
  Function("main");
  sheet.BuildChains("main");
  // main, decision, ret, then autre, which runs into main's first line: that
  // line is not drawn twice and its box hangs below autre's.
  ASSERT_EQ(sheet.Boxes.Count(), 4);
  EXPECT_EQ(sheet.Boxes[1].ObjetParent, 4);
  EXPECT_EQ(sheet.BoxOfLine(1), 1);
  EXPECT_EQ(sheet.BoxOfLine(0), 4);
  EXPECT_EQ(sheet.BoxOfAddress("e000"), 4);
  EXPECT_EQ(sheet.BoxOfLabel("autre"), 4);
  EXPECT_EQ(sheet.BoxOfLabel("Autre"), 0);
}

// A saved "n" opens a side exit; a saved "r" on a target shows jumps to it
// as a title box beside the decision instead of a line.
TEST_F(LayoutSheets, SavedSideExitAndTitleTarget) {
  Codes({"E000|main|A = 1", "E002|test|(A) = 0|fin", "E004||A = 2", "E006|fin|ret"});
  sheet.Coords().Lines = {"main;test;n;;;"};
  Build("main");
  EXPECT_EQ(sheet.Boxes[2].PointD, 4);
  EXPECT_EQ(sheet.Lines[1].ObjetParentb, 3);
  ExpectGolden("layout_side_exit", sheet.DescribeSheet());

  sheet.Coords().Lines = {"main;fin;;;;;r"};
  ASSERT_TRUE(sheet.BuildFlowchart("main"));
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

TEST_F(LayoutSheets, JumpTargetsResolveByLabelOrRelativeAddress) {
  Codes({"E000|main|(A) = 0|nulle_part", "E002||(B) = 0|debprogr", "E004||(C) = 0|$ 3",
         "E006||(A) = 0|$9223372036854775807", "E008|fin|ret"});
  Build("main");
  // debprogr is never reported; $E004 + 3 + 1 = $E008, the box labelled fin;
  // an offset past the address space is no address at all.
  EXPECT_EQ(ErrorTexts(), (std::vector<std::string>{"manque label \"nulle_part\"    i=1  $E000 ",
                                                    "manque label \"$9223372036854775807\"    i=4  $E006 "}));
  EXPECT_EQ(messages.shown[0].caption, "Erreur");
  EXPECT_EQ(sheet.Boxes[1].Triangle, 11);  // still a decision box
  EXPECT_EQ(sheet.Boxes[sheet.BoxOfAddress("E004")].ObjetSaut, sheet.BoxOfLabel("fin"));
  EXPECT_FALSE(sheet.BuildFlowchart("absente"));
  EXPECT_EQ(sheet.Boxes.Count(), 0);
}

}  // namespace
}  // namespace hc11::test
