// Breakpoints following their instruction when the program is assembled
// again: each way a line may move, be edited, renamed or removed.
#include "debugger/code_anchor.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace hc11::test {
namespace {

struct L {
  const char* addr;
  const char* label;
  const char* text;
};

TListSyn Lines(std::initializer_list<L> rows) {
  TListSyn lines;
  for (const L& r : rows) {
    TSynElem e;
    e.AddrText = r.addr;
    e.Label = r.label;
    e.Text = r.text;
    lines.push_back(e);
  }
  return lines;
}

// The program as first assembled: a comment, a routine with two identical
// instructions, and code above the first label.
const TListSyn kBefore = Lines({
    {"E000", "", "ldS #$FF"},
    {"", "", ""},  // a comment record
    {"E003", "boucle", "addA  #1"},
    {"E005", "", "stA $10"},
    {"E007", "", "addA #1"},
    {"E009", "", "bne boucle"},
    {"", "compte", ""},  // a label on a line of its own
    {"E00B", "", "incX"},
    {"E00C", "", "ret"},
});

TEST(CodeAnchor, IsTheLabelAboveTheAddressedLinesBelowItAndTheFoldedText) {
  struct Case {
    std::uint16_t address;
    std::optional<CodeAnchor> anchor;
  };
  const Case cases[] = {
      {0xE000, CodeAnchor{"", 0, "ldS #$FF"}},
      {0xE003, CodeAnchor{"boucle", 0, "addA #1"}},
      {0xE007, CodeAnchor{"boucle", 2, "addA #1"}},
      {0xE00B, CodeAnchor{"compte", 0, "incX"}},
      {0xE00C, CodeAnchor{"compte", 1, "ret"}},
      {0xE004, std::nullopt},  // inside an instruction: no line there
      {0x0000, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AnchorTable(kBefore).At(c.address), c.anchor) << std::hex << c.address;
}

TEST(CodeAnchor, PlacedOnTheProgramAssembledAgain) {
  struct Case {
    const char* what;
    std::uint16_t old;
    TListSyn after;
    AnchorPlace place;
    std::uint16_t address;
  };
  const Case cases[] = {
      {"nothing changed", 0xE007, kBefore, AnchorPlace::Unchanged, 0xE007},
      {"code inserted above the label", 0xE007,
       Lines({{"E000", "", "ldS #$FF"},
              {"E003", "", "clrA"},
              {"E004", "boucle", "addA #1"},
              {"E006", "", "stA $10"},
              {"E008", "", "addA #1"},
              {"E00A", "", "bne boucle"}}),
       AnchorPlace::Moved, 0xE008},
      {"a line inserted under the label: the same text nearest the old offset", 0xE007,
       Lines({{"E003", "boucle", "addA #1"},
              {"E005", "", "nop"},
              {"E006", "", "stA $10"},
              {"E008", "", "addA #1"},
              {"E00A", "", "bne boucle"}}),
       AnchorPlace::Moved, 0xE008},
      {"the first of two equal lines stays the first", 0xE003,
       Lines({{"E003", "", "nop"},
              {"E004", "boucle", "addA #1"},
              {"E006", "", "stA $10"},
              {"E008", "", "addA #1"}}),
       AnchorPlace::Moved, 0xE004},
      {"blanks changed only", 0xE005, Lines({{"E003", "boucle", "addA #1"}, {"E005", "", "stA\t $10 "}}),
       AnchorPlace::Unchanged, 0xE005},
      {"code above the first label moved", 0xE000, Lines({{"D000", "", "ldS #$FF"}}), AnchorPlace::Moved,
       0xD000},
      {"the label renamed, the code in place", 0xE00B, Lines({{"E00B", "compter", "incX"}}),
       AnchorPlace::Unchanged, 0xE00B},
      {"the instruction edited", 0xE005, Lines({{"E003", "boucle", "addA #1"}, {"E005", "", "stA $11"}}),
       AnchorPlace::Lost, 0xE005},
      {"the line removed", 0xE00C, Lines({{"E00B", "compte", "incX"}}), AnchorPlace::Lost, 0xE00C},
      {"the label renamed and the code moved", 0xE00B, Lines({{"E010", "compter", "incX"}}),
       AnchorPlace::Lost, 0xE00B},
      {"an empty listing", 0xE003, {}, AnchorPlace::Lost, 0xE003},
  };
  for (const Case& c : cases) {
    const std::optional<CodeAnchor> anchor = AnchorTable(kBefore).At(c.old);
    ASSERT_TRUE(anchor) << c.what;
    const Placement p = AnchorTable(c.after).Place(*anchor, c.old);
    EXPECT_EQ(p.place, c.place) << c.what;
    EXPECT_EQ(p.address, c.address) << c.what;
  }
}

TEST(CodeAnchor, WhereReadsLabelPlusOffset) {
  EXPECT_EQ(AnchorWhere({"boucle", 2, "addA #1"}), "boucle+2");
  EXPECT_EQ(AnchorWhere({"", 0, "ldS #$FF"}), "+0");
}

}  // namespace
}  // namespace hc11::test
