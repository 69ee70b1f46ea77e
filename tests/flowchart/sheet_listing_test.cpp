// A sheet built the way a program load builds it: listing text, rewriting,
// label index, then one function's layout.
#include "flowchart/pseudo_code.h"
#include "listing/listing_loader.h"
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

class SheetFromListing : public SheetFixture {
 protected:
  void Load(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += l;
    std::uint16_t startPC = 0;
    ParseListingText(listing, text, startPC, messages, false);
    ConvertAll(listing);
    sheet.BuildLabelIndex();
  }
};

TEST_F(SheetFromListing, LoopDecisionJumpAndIndexedCall) {
  Load({
      Lst("E000", "", 1, "        org     $E000"),
      Lst("", "", 2, "; la boucle principale"),
      Lst("E000", "86 05", 3, "main    ldA     #5 ; debut"),
      Lst("E002", "8B 01", 4, "boucle  addA    #1"),
      Lst("E004", "81 0A", 5, "        cmpA    #10"),
      Lst("E006", "26 FA", 6, "        bne     boucle"),
      Lst("E008", "C3 E1 00", 7, "        addD    #tab"),
      Lst("E00B", "AD 00", 8, "        call    $00,X"),
      Lst("E00D", "27 02", 9, "        beq     fin"),
      Lst("E00F", "20 EF", 10, "        jr      main"),
      Lst("E011", "39", 11, "fin     ret"),
      Lst("E012", "E0 14", 12, "tab     dw      sub1"),
      Lst("E014", "39", 13, "sub1    ret"),
      Lst("E015", "", 14, "        end"),
  });
  ASSERT_TRUE(messages.shown.empty()) << messages.shown[0].text;
  EXPECT_TRUE(listing.FunctionList.entries.count("tab"));  // found by the indexed call
  ASSERT_TRUE(sheet.BuildFlowchart("main"));
  EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;

  const int loop = sheet.BoxOfLabel("boucle");
  const int fin = sheet.BoxOfLabel("fin");
  ASSERT_NE(loop, 0);
  ASSERT_NE(fin, 0);
  EXPECT_FALSE(sheet.Boxes[1].HasAddress());  // the comment above main
  // Every jump found its box and every box is reached.
  for (int i = 1; i <= sheet.Boxes.Count(); ++i) {
    const TRectangle& b = sheet.Boxes[i];
    SCOPED_TRACE(i);
    EXPECT_TRUE(b.Saut.empty() || b.ObjetSaut != 0);
    EXPECT_TRUE(!b.HasAddress() || b.Relie);
  }
  bool indexedCall = false;
  for (int i = 1; i <= sheet.Boxes.Count(); ++i)
    for (const TLigne& l : sheet.Boxes[i].Lignes) indexedCall |= l.Text == "call [tab]";
  EXPECT_TRUE(indexedCall);
  ExpectGolden("sheet_listing_main", sheet.DescribeSheet());
}

}  // namespace
}  // namespace hc11::test
