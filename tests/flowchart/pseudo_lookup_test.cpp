// Label and address questions asked of the rewritten line list, and the
// record format the pseudo listing prints.
#include "flowchart/pseudo_code.h"
#include "pseudo_test_util.h"

namespace hc11::test {
namespace {

TEST(PseudoLookup, LabelsAddressesAndFunctionNames) {
  const TListSyn lines = Recs(
      {"E000|debprog_|A = 1", "E002||A = 2", "||||routine", "e004|sub1|A = 3", "E006||ret", "E007|@sub10|x"});
  EXPECT_EQ(LabelOf(lines, 3), "sub1");
  EXPECT_EQ(LabelOf(lines, -1), "");
  EXPECT_EQ(LabelOf(lines, 6), "");
  EXPECT_EQ(IndexOfLabel(lines, "SUB1"), -1);  // labels compare exactly
  EXPECT_EQ(IndexOfLabel(lines, ""), -1);
  EXPECT_EQ(FindAddress(lines, "E004"), 3);  // letter case ignored
  EXPECT_EQ(FindAddress(lines, "E00"), -1);
  EXPECT_EQ(FindAddress(lines, ""), -1);  // never a comment record
  EXPECT_EQ(PreviousCodeElement(lines, 3), 1);
  EXPECT_EQ(PreviousCodeElement(lines, 0), -1);
  EXPECT_EQ(NextCodeElement(lines, 1), 3);
  EXPECT_EQ(NextCodeElement(lines, 5), -1);

  const std::pair<std::uint16_t, const char*> names[] = {
      {0xE006, "sub1"},
      {0xE007, "@sub10"},
      {0xE004, "sub1"},
      // The label on the very first line names what follows it, and an
      // address the listing does not hold reads from the first line.
      {0xE002, "debprog_"},
      {0x1234, "debprog_"}};
  for (const auto& [address, name] : names) EXPECT_EQ(FunctionNameAt(lines, address), name) << address;
  EXPECT_EQ(FunctionNameAt(Recs({"E000||A = 1", "E002||A = 2"}), 0xE002), "Nom");
  EXPECT_EQ(FunctionNameAt(TListSyn{}, 0xE002), "Nom");
}

TEST(PseudoLookup, RecordLineKeepsItsColumns) {
  TSynElem e = Rec("E000|l|A = 1|t|a\tb\r");
  e.AddrEndText = "E005";
  e.Marks.Traite = true;
  EXPECT_EQ(PseudoLineRecord(e), "E000\tE005\tl\tA = 1\tt\ta b \t1");
  EXPECT_EQ(PseudoLineRecord(Rec("||||c")), "\t\t\t\t\tc\t0");
}

}  // namespace
}  // namespace hc11::test
