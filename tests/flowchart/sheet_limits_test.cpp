// Bounded work: full sheets, missing addresses, placement that never settles.
#include "tests/flowchart/sheet_fixture.h"

namespace hc11::test {
namespace {

class SheetLimits : public SheetFixture {
 protected:
  static std::string Hex(int a) { return Format("%4.4X", a); }
  int CountContaining(const std::string& part) const {
    int n = 0;
    for (const auto& m : messages.shown) n += m.text.find(part) != std::string::npos;
    return n;
  }
};

TEST_F(SheetLimits, TooManyBoxesStopAtTheLimitAndSaySoOnce) {
  // Every record carries a label, so each opens a box.
  for (int i = 0; i < 1500; ++i) Code(Hex(0x8000 + i), "A = 1", i == 0 ? "main" : "l" + std::to_string(i));
  Function("main");
  sheet.BuildLabelIndex();
  EXPECT_EQ(sheet.Boxes.Count(), kMaxSheetBoxes);
  EXPECT_TRUE(messages.shown.empty()) << "the index build shows no sheet, so it stays quiet";
  ASSERT_TRUE(sheet.BuildFlowchart("main"));
  EXPECT_EQ(sheet.Boxes.Count(), kMaxSheetBoxes);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Erreur");
  // The boxes made are laid out, one below the other.
  EXPECT_EQ(sheet.Boxes[kMaxSheetBoxes].Rect.Top, sheet.Boxes[kMaxSheetBoxes - 1].Rect.Bottom);
}

TEST_F(SheetLimits, TooManyLinesStopAtTheLimitWithoutHalfMadeJumps) {
  // 400 branches to 400 different targets need 1200 line objects.
  Codes({"8000|main|A = 1"});
  for (int i = 0; i < 400; ++i) Code(Hex(0x8100 + i), "(A) = 0", "", "t" + std::to_string(i));
  Codes({"8600||ret"});
  for (int i = 0; i < 400; ++i) {
    Code(Hex(0x9000 + 2 * i), "B = 1", "t" + std::to_string(i));
    Code(Hex(0x9001 + 2 * i), "ret");
  }
  Build("main");
  EXPECT_EQ(sheet.Boxes.Count(), 802);
  EXPECT_EQ(sheet.Lines.Count(), 999);
  EXPECT_EQ(CountContaining("trop grande"), 1);
  // Jumps without a line still hold no dangling index.
  EXPECT_EQ(sheet.Boxes[401].ObjetLineV, 0);
  EXPECT_EQ(sheet.Boxes[401].ObjetSaut, 0);
  for (int l = 1; l <= sheet.Lines.Count(); ++l) {
    const TORect& o = sheet.Lines[l];
    ASSERT_TRUE(o.Genre == '.' ? sheet.Boxes.Valid(o.ObjetParent) : sheet.Lines.Valid(o.ObjetParent));
  }
}

TEST_F(SheetLimits, MissingListingAddressesAreReportedTwicePerIndexBuild) {
  Codes({"E000|main|A = 1"});
  for (int i = 1; i <= 4; ++i) Code(Hex(0xE000 + i), "A = A + 1");
  for (int i = 1; i <= 4; ++i) (*listing.ListingMap)[0xE000 + i] = 0;
  (*listing.ListingMap)[0xE002] = 'R';  // already drawn: still fine
  Function("main");
  sheet.BuildLabelIndex();
  EXPECT_EQ(ErrorTexts(), (std::vector<std::string>{"err Manque L$E001", "err Manque L$E003"}));
  sheet.BuildFlowchart("main");  // the count goes on: nothing more
  EXPECT_EQ(messages.shown.size(), 2u);
  sheet.BuildLabelIndex();  // a new index build starts counting again
  EXPECT_EQ(messages.shown.size(), 4u);
}

TEST_F(SheetLimits, PlacementThatNeverSettlesStopsAfterSevenPasses) {
  Codes({"E000|main|A = 1", "E002|autre|B = 1"});
  Function("main");
  sheet.BuildChains("main");
  ASSERT_EQ(sheet.Boxes.Count(), 2);
  // A cycle of parents with offsets moves both boxes on every pass.
  sheet.Boxes[1].ObjetParent = 2;
  sheet.Boxes[2].ObjetParent = 1;
  sheet.Boxes[1].OfsX = sheet.Boxes[2].OfsX = 10;
  sheet.LayoutPasses();
  EXPECT_EQ(sheet.NbPasse, 7);
  EXPECT_EQ(ErrorTexts(), (std::vector<std::string>{"NbPasse>6"}));
  EXPECT_FALSE(sheet.IsLinked(1, 3));  // the walk ends on the cycle
  EXPECT_TRUE(sheet.IsLinked(1, 2));
}

}  // namespace
}  // namespace hc11::test
