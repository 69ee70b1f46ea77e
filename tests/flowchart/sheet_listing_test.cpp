// Sheets built the way a program load builds them: listing text, rewriting,
// label index, then one function's layout.
#include "flowchart/pseudo_code.h"
#include "flowchart/sheet_legibility.h"
#include "listing/listing_files.h"
#include "listing/listing_loader.h"
#include "tests/flowchart/sheet_clashes.h"
#include "tests/flowchart/sheet_fixture.h"

namespace hc11::test {
namespace {

// Address in columns 1-4, code bytes from 6, line number in 23-27, source
// from 29.
std::string Lst(std::string_view addr, std::string_view code, int number, std::string_view source) {
  std::string line(28, ' ');
  line.replace(0, addr.size(), addr);
  line.replace(5, code.size(), code);
  const std::string n = std::to_string(number);
  line.replace(27 - n.size(), n.size(), n);
  return line + std::string(source) + "\r\n";
}

// The literal layout: its golden file pins the geometry.
class SheetFromListing : public SheetFixture {
 protected:
  SheetFromListing() { sheet.NoOverlapLayout = false; }
  void Load(const std::string& text) {
    std::uint16_t startPC = 0;
    ParseListingText(listing, text, startPC, messages, false);
    ConvertAll(listing);
    sheet.BuildLabelIndex();
  }
  // Every drawn jump found its target.
  void ExpectJumpsResolved() {
    for (int i = 1; i <= sheet.Boxes.Count(); ++i) {
      const TRectangle& b = sheet.Boxes[i];
      EXPECT_TRUE(b.Saut.empty() || b.ObjetSaut != 0 || b.Saut == "debprogr") << "box " << i;
    }
  }
};

TEST_F(SheetFromListing, LoopDecisionJumpAndIndexedCall) {
  Load(Lst("E000", "", 1, "        org     $E000") + Lst("", "", 2, "; la boucle principale") +
       Lst("E000", "86 05", 3, "main    ldA     #5 ; debut") + Lst("E002", "8B 01", 4, "boucle  addA    #1") +
       Lst("E004", "81 0A", 5, "        cmpA    #10") + Lst("E006", "26 FA", 6, "        bne     boucle") +
       Lst("E008", "C3 E1 00", 7, "        addD    #tab") + Lst("E00B", "AD 00", 8, "        call    $00,X") +
       Lst("E00D", "27 02", 9, "        beq     fin") + Lst("E00F", "20 EF", 10, "        jr      main") +
       Lst("E011", "39", 11, "fin     ret") + Lst("E012", "E0 14", 12, "tab     dw      sub1") +
       Lst("E014", "39", 13, "sub1    ret") + Lst("E015", "", 14, "        end"));
  ASSERT_TRUE(messages.shown.empty()) << messages.shown[0].text;
  EXPECT_TRUE(listing.FunctionList.entries.count("tab"));  // found by the indexed call
  ASSERT_TRUE(sheet.BuildFlowchart("main"));
  EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
  ExpectJumpsResolved();
  for (int i = 1; i <= sheet.Boxes.Count(); ++i)
    EXPECT_TRUE(!sheet.Boxes[i].HasAddress() || sheet.Boxes[i].Relie) << "box " << i << " reached";
  ExpectGolden("sheet_listing_main", sheet.DescribeSheet());
}

// Every function of the demo firmware gets a sheet, the way the window builds
// them after a load: none raises a message, none has boxes on each other or a
// jump line through a box.
TEST_F(SheetFromListing, EveryDemoFunctionBuildsWithoutMessages) {
  const auto text = ReadWholeFile(ListingFileName(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo"));
  if (!text) GTEST_SKIP() << "no demo listing";
  Load(*text);
  ASSERT_GT(listing.FunctionList.entries.size(), 10u);
  sheet.NoOverlapLayout = true;
  int built = 0;
  for (const auto& [name, entry] : listing.FunctionList.entries) {
    SCOPED_TRACE(name);
    if (!sheet.BuildFlowchart(name)) continue;
    ++built;
    ExpectJumpsResolved();
    const SheetClashes clashes = FindClashes(sheet);
    EXPECT_TRUE(clashes.Clean()) << Describe(clashes);
    for (bool comments : {false, true}) {
      const Legibility l = MeasureLegibility(sheet, comments);
      EXPECT_TRUE(l.Clean()) << LegibilityLine(l) << " comments " << comments;
    }
  }
  EXPECT_GT(built, 10);
  for (const auto& m : messages.shown) ADD_FAILURE() << m.caption << ": " << m.text;
}

}  // namespace
}  // namespace hc11::test
