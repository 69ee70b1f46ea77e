// The de-overlap pass: hung subtrees moved apart, sheets without overlap
// untouched, user positions kept.
#include <cstdint>

#include "core/text_util.h"
#include "flowchart/sheet_deoverlap.h"
#include "tests/flowchart/random_program.h"
#include "tests/flowchart/sheet_clashes.h"
#include "tests/flowchart/sheet_fixture.h"

namespace hc11::test {
namespace {

// main dispatches on A to five handlers of three lines; the second handler
// has a comment above its label, which makes a comment box beside it.
std::vector<std::string> Dispatcher() {
  std::vector<std::string> records = {"E000|main|A = cmd"};
  for (int k = 1; k <= 5; ++k) records.push_back(Format("E0%2.2X||(A - %d) = 0|h%d", 2 * k, k, k));
  records.push_back("E00C||ret");
  const char* callee[] = {"un", "deux", "trois", "quatre", "cinq"};
  for (int k = 1; k <= 5; ++k) {
    if (k == 2) records.push_back("||||commande deux");
    records.push_back(Format("E0%d0|h%d|B = %d", k, k, k));
    records.push_back(Format("E0%d2||call %s", k, callee[k - 1]));
    records.push_back(Format("E0%d4||ret", k));
  }
  return records;
}

class Deoverlap : public SheetFixture {
 protected:
  // Builds `fn` with the literal layout, keeps its boxes, then builds it again
  // with the de-overlap pass.
  void BuildBoth(const std::vector<std::string>& records, const std::string& fn = "main") {
    Codes(records);
    Function(fn);
    sheet.BuildLabelIndex();
    sheet.NoOverlapLayout = false;
    ASSERT_TRUE(sheet.BuildFlowchart(fn));
    literal = FindClashes(sheet);
    for (int i = 1; i <= sheet.Boxes.Count(); ++i) literalRects.push_back(sheet.Boxes[i].Rect);
    sheet.NoOverlapLayout = true;
    ASSERT_TRUE(sheet.BuildFlowchart(fn));
  }
  const TRect& Box(const std::string& label) { return sheet.Boxes[sheet.BoxOfLabel(label)].Rect; }
  const TRect& LiteralBox(const std::string& label) {
    return literalRects[static_cast<std::size_t>(sheet.BoxOfLabel(label) - 1)];
  }
  void ExpectClean() {
    const SheetClashes c = FindClashes(sheet);
    EXPECT_TRUE(c.Clean()) << Describe(c);
  }

  SheetClashes literal;
  std::vector<TRect> literalRects;
};

TEST_F(Deoverlap, DispatcherHandlersMoveRightInReadingOrder) {
  BuildBoth(Dispatcher());
  // The literal layout hangs the handlers 26 pixels apart.
  EXPECT_FALSE(literal.overlaps.empty());
  ExpectClean();
  // The first handler stays; the next three, each on the one before, move
  // right at the height the literal gave them; the last one, clear below the
  // first, stays too.
  EXPECT_EQ(Box("h1"), (TRect{245, 93, 305, 147}));
  EXPECT_EQ(Box("h5"), LiteralBox("h5"));
  const TRectangle& comment = sheet.Boxes[sheet.BoxOfLabel("h2") - 1];
  ASSERT_FALSE(comment.HasAddress());
  EXPECT_EQ(comment.Rect.Left, Box("h2").Left + 100);  // moved with its box
  EXPECT_EQ(Box("h2").Left, Box("h1").Right + kClearGap);
  EXPECT_EQ(Box("h3").Left, comment.Rect.Right + kClearGap);
  EXPECT_EQ(Box("h4").Left, Box("h3").Right + kClearGap);
  for (const char* label : {"h2", "h3", "h4"}) EXPECT_EQ(Box(label).Top, LiteralBox(label).Top) << label;
  EXPECT_EQ(sheet.PicW, Box("h4").Right + 25);
  // The moves are kept as offsets, so placing again changes nothing.
  auto before = sheet.DescribeSheet();
  sheet.Relayout();
  auto after = sheet.DescribeSheet();
  EXPECT_EQ(std::vector(after.begin() + 1, after.end()), std::vector(before.begin() + 1, before.end()));
}

TEST_F(Deoverlap, RangeTestsWithSharedExitAndLoopWithEarlyExits) {
  const std::vector<std::vector<std::string>> programs = {
      {"E000|main|A = val", "E002||(A - 10) < 0|bas", "E004||(A - 20) < 0|moyen", "E006||(A - 30) < 0|haut",
       "E008||B = 0", "E00A|fin|ret", "E010|bas|B = 1", "E012||C = 1", "E014|||fin", "E016|moyen|B = 2",
       "E018||C = 2", "E01A|||fin", "E01C|haut|B = 3", "E01E||C = 3", "E020|||fin"},
      {"E000|main|B = 10", "E002|boucle|A = [$10+X]", "E004||(A) = 0|sortie1", "E006||(A - $FF) = 0|sortie2",
       "E008||B = B - 1", "E009||(B) <> 0|boucle", "E00B||ret", "E00C|sortie1|C = 1", "E00E||call erreur",
       "E010||ret", "E011|sortie2|C = 2", "E013||call erreur", "E015||ret"},
  };
  for (const auto& program : programs) {
    SCOPED_TRACE(program[1]);
    listing = Listing{};
    BuildBoth(program);
    EXPECT_FALSE(literal.overlaps.empty());
    ExpectClean();
  }
}

TEST_F(Deoverlap, SavedHandlerStaysAndTheOthersMoveAroundIt) {
  // The third handler saved where it lies on the first one, below its top.
  sheet.Coords().Lines = {"main;h3;;r;150;20"};
  BuildBoth(Dispatcher());
  ASSERT_TRUE(LiteralBox("h3").Intersects(LiteralBox("h1")));
  const TRect& dec3 = sheet.Boxes[sheet.Boxes[sheet.BoxOfLabel("h3")].ObjetParent].Rect;
  EXPECT_EQ(Box("h3").Left, dec3.Left + 150);
  EXPECT_EQ(Box("h3").Top, dec3.Top + 20);
  // The first handler, though it comes first, makes way.
  EXPECT_GT(Box("h1").Left, LiteralBox("h1").Left);
  ExpectClean();
}

TEST_F(Deoverlap, DraggedBoxStaysAndTheOthersSettleAgain) {
  BuildBoth(Dispatcher());
  sheet.LoadCoordFile((TempDir() / "prog").string());
  // Drag the first handler far below: the second one is free again and
  // returns to its literal place.
  TRectangle& h1 = sheet.Boxes[sheet.BoxOfLabel("h1")];
  sheet.GrabX = sheet.GrabY = 0;
  h1.Deplace(sheet, 400, 600);
  sheet.CoordsModified = true;
  sheet.Relayout();
  EXPECT_EQ(Box("h1").Left, 400);
  EXPECT_EQ(Box("h1").Top, 600);
  EXPECT_EQ(Box("h2"), LiteralBox("h2"));
  ExpectClean();
  // The position file keeps where each box is shown.
  const TRectangle& h4 = sheet.Boxes[sheet.BoxOfLabel("h4")];
  const TRect& parent = sheet.Boxes[h4.ObjetParent].Rect;
  ASSERT_TRUE(sheet.SaveCoordFile());
  EXPECT_EQ(sheet.Coords().ReadCoord("main", "h4").x, std::to_string(h4.Rect.Left - parent.Left));
  EXPECT_EQ(sheet.Coords().ReadCoord("main", "h1").x, std::to_string(400 - sheet.Boxes[2].Rect.Left));
}

TEST_F(Deoverlap, EverySheetOfGeneratedProgramsIsClean) {
  int moved = 0;
  for (std::uint32_t seed = 1; seed <= 100; ++seed) {
    listing = Listing{};
    Codes(RandomProgram(seed, 4));
    for (int f = 0; f < 4; ++f) Function(Format("f%d", f));
    sheet.BuildLabelIndex();
    for (int f = 0; f < 4; ++f) {
      const std::string fn = Format("f%d", f);
      SCOPED_TRACE(Format("seed %u %s", seed, fn.c_str()));
      sheet.NoOverlapLayout = false;
      ASSERT_TRUE(sheet.BuildFlowchart(fn));
      moved += !FindClashes(sheet).overlaps.empty();
      sheet.NoOverlapLayout = true;
      ASSERT_TRUE(sheet.BuildFlowchart(fn));
      const SheetClashes c = FindClashes(sheet);
      EXPECT_TRUE(c.Clean()) << Describe(c);
    }
  }
  // The programs do exercise the pass.
  EXPECT_GT(moved, 20);
}

}  // namespace
}  // namespace hc11::test
