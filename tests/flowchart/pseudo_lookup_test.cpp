// Label and address questions asked of the rewritten line list.
#include <gtest/gtest.h>

#include "flowchart/pseudo_code.h"
#include "pseudo_test_util.h"

namespace hc11 {
namespace {

using test::Line;
using test::Remark;

TListSyn Program() {
  return {Line("E000", "A = 1").label("debprog_"), Line("E002", "A = 2"), Remark("routine"),
          Line("e004", "A = 3").label("sub1"),     Line("E006", "ret"),   Line("E007", "x").label("@sub10")};
}

TEST(PseudoLookup, LabelsAndAddresses) {
  const TListSyn lines = Program();
  EXPECT_EQ(LabelOf(lines, 3), "sub1");
  EXPECT_EQ(LabelOf(lines, -1), "");
  EXPECT_EQ(LabelOf(lines, 6), "");

  EXPECT_EQ(IndexOfLabel(lines, "sub1"), 3);
  EXPECT_EQ(IndexOfLabel(lines, "SUB1"), -1);  // labels compare exactly
  EXPECT_EQ(IndexOfLabel(lines, ""), -1);

  EXPECT_EQ(FindAddress(lines, "E004"), 3);  // letter case ignored
  EXPECT_EQ(FindAddress(lines, "e002"), 1);
  EXPECT_EQ(FindAddress(lines, "E00"), -1);
  EXPECT_EQ(FindAddress(lines, ""), -1);  // never a comment record

  EXPECT_EQ(PreviousCodeElement(lines, 3), 1);
  EXPECT_EQ(PreviousCodeElement(lines, 0), -1);
  EXPECT_EQ(NextCodeElement(lines, 1), 3);
  EXPECT_EQ(NextCodeElement(lines, 5), -1);
}

TEST(PseudoLookup, FunctionNameAt) {
  const TListSyn lines = Program();
  struct Case {
    std::uint16_t address;
    const char* want;
  };
  for (const Case& c : std::vector<Case>{
           {0xE006, "sub1"},
           {0xE007, "@sub10"},
           {0xE004, "sub1"},
           // The label on the very first line names what follows it.
           {0xE002, "debprog_"},
           // An address the listing does not hold reads from the first line.
           {0x1234, "debprog_"},
       }) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(FunctionNameAt(lines, c.address), c.want);
  }
  TListSyn unlabelled{Line("E000", "A = 1"), Line("E002", "A = 2")};
  EXPECT_EQ(FunctionNameAt(unlabelled, 0xE002), "Nom");
  EXPECT_EQ(FunctionNameAt(TListSyn{}, 0xE002), "Nom");
}

TEST(PseudoLookup, RecordLineKeepsItsColumns) {
  TSynElem e = Line("E000", "A = 1").label("l").target("t").comment("a\tb\r");
  e.AddrEndText = "E005";
  e.Marks.Traite = true;
  EXPECT_EQ(PseudoLineRecord(e), "E000\tE005\tl\tA = 1\tt\ta b \t1");
  EXPECT_EQ(PseudoLineRecord(Remark("c")), "\t\t\t\t\tc\t0");
}

}  // namespace
}  // namespace hc11
