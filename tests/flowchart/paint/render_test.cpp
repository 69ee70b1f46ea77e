// Pixels of known colours at known places on painted sheets, laid out with
// the fixed 6 x 13 metric (LineH 13, a text line every 16 pixels).
#include <QColor>
#include <QImage>
#include <tuple>

#include "flowchart/pseudo_code.h"
#include "flowchart/sheet_legibility.h"
#include "listing/listing_files.h"
#include "listing/listing_loader.h"
#include "tests/flowchart/paint/paint_env.h"
#include "tests/flowchart/sheet_clashes.h"

namespace hc11::test {
namespace {

constexpr Colour kGrey = 0x808080;

class Render : public PaintFixture {
 protected:
  // One box at (100, 21): label "main" (27 pixels), three lines.
  void ThreeLines(const std::string& second = "E002") {
    Codes({"E000|main|A = $10", second + "||call affiche", "E005||ret"});
    Build("main");
  }
  // Top-left pixel of line k's text cell, which no glyph reaches.
  Colour CellColour(int box, int k) const {
    const TRectangle& b = sheet.Boxes[box];
    return Pixel(b.Rect.Left + 1 + b.LargLabel + b.Triangle, b.Rect.Top + 4 + 16 * k);
  }
  // Counts the pixels of `r` for which `test` holds.
  template <typename Test>
  int Count(const TRect& r, Test test) const {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += test(Pixel(x, y)) ? 1 : 0;
    return n;
  }
};

TEST_F(Render, BreakpointTabStartsFifteenPixelsLeftOfTheBoxAndIsTwentyHigh) {
  // The second line's address text, what the hook gives for $E002, the tab's
  // colour: a breakpoint colour, then an address that is no number.
  const std::tuple<const char*, Colour, Colour> cases[] = {{"E002", kGrey, kGrey}, {"E0G2", kWhite, kRed}};
  for (const auto& [second, hooked, expected] : cases) {
    SCOPED_TRACE(second);
    listing = Listing();
    ThreeLines(second);
    display.LineColorHook = [&](std::uint16_t addr) { return addr == 0xE002 ? hooked : kWhite; };
    Paint();
    const TRectangle& b = sheet.Boxes[1];
    ASSERT_EQ(b.Rect.Left, 100);
    const int top = b.Rect.Top + 13 + 3;  // the second line
    const std::pair<int, int> inside[] = {{85, top}, {85, top + 19}, {99, top + 10}};
    for (const auto& [x, y] : inside) EXPECT_EQ(Pixel(x, y), expected) << x << "," << y;
    EXPECT_EQ(Pixel(84, top), kWhite);       // 15 pixels left, not 16
    EXPECT_EQ(Pixel(85, top - 1), kWhite);   // the first line has no mark
    EXPECT_EQ(Pixel(85, top + 20), kWhite);  // nor the third
  }
}

TEST_F(Render, ProgramCounterLineIsNavySelectedLineTealNavyWinsAndShowAddressRepaints) {
  ThreeLines();
  struct Case {
    const char *pc, *sel;
    Colour line[3];
  };
  const Case cases[] = {
      {"E002", "E005", {kWhite, kNavy, kTeal}},
      {"E002", "E002", {kWhite, kNavy, kWhite}},
      {"", kNoSelection, {kWhite, kWhite, kWhite}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pc) + "/" + c.sel);
    display.PCAddrText = c.pc;
    display.SelAddrText = c.sel;
    Paint();
    for (int k = 0; k < 3; ++k) EXPECT_EQ(CellColour(1, k), c.line[k]) << "line " << k;
  }
  // The call line's text is blue (no selection there now).
  const TRectangle& b = sheet.Boxes[1];
  const TRect callCell{b.Rect.Left + 28, b.Rect.Top + 20, b.Rect.Left + 28 + 12 * 6, b.Rect.Top + 33};
  EXPECT_GT(Count(callCell, [](Colour c) { return (c >> 16 & 0xFF) == 0xFF && (c & 0xFF) < 0x80; }), 10);

  // ShowAddress repaints the lines it marks on the bitmap.
  std::uint16_t runTarget = 0;
  ASSERT_TRUE(bitmap.ShowAddress(sheet, display, 0xE002, 0xE002, runTarget));
  EXPECT_EQ(CellColour(1, 1), kNavy);
  ASSERT_TRUE(bitmap.ShowAddress(sheet, display, 0xE005, 0xE002, runTarget));
  EXPECT_EQ(CellColour(1, 1), kNavy);
  EXPECT_EQ(CellColour(1, 2), kTeal);
}

TEST_F(Render, CommentBoxHasNoOutlineAndCommentsFollowTheOption) {
  Codes({"D000|avant|ret", "||||SepMacro", "||||Fonction principale", "||||entree: A",
         "E000|main|A = 1||init", "E002||ret"});
  Build("main");
  const TRectangle& note = sheet.Boxes[1];
  const TRectangle& code = sheet.Boxes[2];
  const TRect column{code.XComment, code.Rect.Top + 4, code.XCommentFin, code.Rect.Top + 17};
  const auto notWhite = [](Colour c) { return c != kWhite; };
  // Green text blended into white keeps more green than red; black or grey
  // (an outline) does not.
  const auto notGreenish = [](Colour c) { return c != kWhite && ((c >> 8) & 0xFF) <= (c & 0xFF); };

  display.SetShowComments(false);
  Paint();
  EXPECT_EQ(Count(note.Rect, notWhite), 0) << "comment lines keep their space but are not drawn";
  EXPECT_EQ(Count(column, notWhite), 0);
  EXPECT_EQ(Pixel(code.Rect.Left + code.LargLabel, code.Rect.Top + 3), kBlack);  // a code box has one

  display.SetShowComments(true);
  Paint();
  EXPECT_GT(Count(note.Rect, notWhite), 20);
  EXPECT_EQ(Count(note.Rect, notGreenish), 0);
  EXPECT_GT(Count(column, notWhite), 5) << "the comment column survives the boxes' second pass";
  EXPECT_TRUE(display.CommentPass);
}

TEST_F(Render, DecisionJumpLineArrowLandingDotAndOverflow) {
  Codes({"E000|main|A = [$10+X]", "E002||(A - $20) = 0|fin", "E004||A = 1", "E006|fin|ret"});
  sheet.NoOverlapLayout = false;  // the literal drawing
  Build("main");
  Paint();
  const TRectangle& dec = sheet.Boxes[2];
  const int lx = dec.Rect.Left + dec.LargLabel;
  EXPECT_EQ(Pixel(lx, dec.MidY()), kBlack);                 // the hexagon's left point
  EXPECT_EQ(Pixel(lx, dec.Rect.Top + 3), kWhite);           // cut corner
  EXPECT_EQ(Pixel(dec.CenterX(), dec.Rect.Top + 1), kRed);  // centre stroke
  const TORect& v = sheet.Lines[1];
  EXPECT_EQ(Pixel(v.Rect.Left, v.Rect.Bottom), kBlack);
  EXPECT_EQ(Pixel(v.Rect.Left - 3, v.Rect.Bottom - 5), kBlack);  // arrowhead
  const TORect& landing = sheet.Lines[3];
  EXPECT_EQ(Pixel(landing.Rect.Left - 1, landing.Rect.Top - 1), kBlack);
  EXPECT_FALSE(sheet.SheetOverflow);

  bitmap.Resize(sheet.Lines[1].Rect.Right - 1, sheet.PicH);
  bitmap.Paint(sheet, display, false);
  EXPECT_TRUE(sheet.SheetOverflow);
}

// In the clear layout a jump on a track ends in a filled arrowhead beside
// its target, joins of jumps to one target get a dot, and the decision's
// jump exit carries its tag; the literal drawing has none of these.
TEST_F(Render, TrackArrowheadJunctionDotAndExitTag) {
  Codes({"E000|main|B = 0", "E002|boucle|B = B + 1", "E003||(B) <> 0|boucle", "E005||C = 1",
         "E007||(C) <> 0|boucle", "E009||ret"});
  Build("main");
  Paint();
  const TLigneV* first = sheet.Lines.LineV(1);
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(first->Piste);
  const TORect& landing = sheet.Lines[3];
  const int dir = landing.Rect.Left < landing.Rect.Right - 1 ? 1 : -1;
  const int tipX = landing.Rect.Left, y = landing.Rect.Top;
  EXPECT_EQ(Pixel(tipX, y), kBlack);
  EXPECT_EQ(Pixel(tipX + 4 * dir, y - 2), kBlack) << "the arrowhead is filled";
  EXPECT_EQ(Pixel(tipX + 4 * dir, y + 3), kBlack);
  const std::vector<Junction> dots = Junctions(JumpSegments(sheet));
  ASSERT_EQ(dots.size(), 1u);
  EXPECT_EQ(Pixel(dots[0].x + 1, dots[0].y - 1), kBlack);
  EXPECT_EQ(Pixel(dots[0].x - 1, dots[0].y + 1), kBlack);
  const ExitTag tag = ExitTagOf(sheet, 1);
  ASSERT_EQ(tag.text, "oui");
  EXPECT_GT(Count(tag.r, [](Colour c) { return c != kWhite; }), 5);

  sheet.NoOverlapLayout = false;
  ASSERT_TRUE(sheet.BuildFlowchart("main"));
  Paint();
  EXPECT_FALSE(sheet.Lines.LineV(1)->Piste);
  EXPECT_EQ(ExitTagOf(sheet, 1).text, "") << "no tag in the literal drawing";
}

TEST_F(Render, EmptySheetLeavesThePaintBoxUnchanged) {
  ThreeLines();
  Paint();
  ASSERT_FALSE(sheet.BuildFlowchart("absente"));
  QImage paintBox(50, 50, QImage::Format_RGB32);
  paintBox.fill(QColor(255, 0, 255));
  EXPECT_FALSE(bitmap.Paint(sheet, display, true, &paintBox));
  EXPECT_EQ(PixelAt(paintBox, 10, 10), 0xFF00FFu);
  EXPECT_EQ(Pixel(101, 30), kWhite);  // the bitmap itself is cleared
}

TEST_F(Render, BitmapSizeIsClampedNotAllocatedBlindly) {
  EXPECT_FALSE(bitmap.Resize(40000, 10));
  EXPECT_EQ(bitmap.Width(), kMaxBitmapSide);
  EXPECT_FALSE(bitmap.Resize(0, -5));
  EXPECT_EQ(bitmap.Height(), 1);
  EXPECT_TRUE(bitmap.Resize(300, 200));
}

// Measured with the flowchart font, as the window and the images measure
// them, the demo's sheets are free of overlaps and crossings too.
TEST(DemoSheets, NoOverlapOrCrossingWithTheFlowchartFont) {
  const auto text = ReadWholeFile(ListingFileName(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo"));
  if (!text) GTEST_SKIP() << "no demo listing";
  Listing listing;
  RecordingMessages messages;
  const QtTextMetrics metrics(TestFont());
  std::uint16_t startPC = 0;
  ParseListingText(listing, *text, startPC, messages, false);
  ConvertAll(listing);
  Flowchart sheet(listing, messages, metrics);
  sheet.BuildLabelIndex();
  int built = 0;
  for (const auto& [name, entry] : listing.FunctionList.entries) {
    if (!sheet.BuildFlowchart(name)) continue;
    ++built;
    const SheetClashes clashes = FindClashes(sheet);
    EXPECT_TRUE(clashes.Clean()) << name << ": " << Describe(clashes);
    // Nothing a jump runs through, no track shared, comments shown or not.
    for (bool comments : {false, true}) {
      const Legibility l = MeasureLegibility(sheet, comments);
      EXPECT_TRUE(l.Clean()) << name << ": " << LegibilityLine(l) << " comments " << comments;
    }
  }
  EXPECT_GT(built, 10);
}

}  // namespace
}  // namespace hc11::test
