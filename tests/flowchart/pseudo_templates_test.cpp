// Branch and mnemonic templates: one listing line in, one statement out.
#include <gtest/gtest.h>

#include "flowchart/pseudo_rewriter.h"
#include "pseudo_test_util.h"

namespace hc11 {
namespace {

using test::Line;
using test::View;

struct OneLineCase {
  const char* name;
  TSynElem in;
  const char* want;  // View() of the element afterwards
};

void RunCases(const std::vector<OneLineCase>& cases, void (PseudoRewriter::*pass)()) {
  for (const OneLineCase& c : cases) {
    SCOPED_TRACE(c.name);
    TListSyn lines{c.in};
    TMacroTable none;
    PseudoRewriter rewriter(lines, none);
    (rewriter.*pass)();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(View(lines[0]), c.want);
  }
}

TEST(PseudoBranchTemplates, ConditionFromMachineCodeAndTargetFromLastOperand) {
  RunCases(
      {
          {"jump becomes a bare line", Line("E000", "jmp").target("loop"), "E000|||loop||T"},
          {"call kept", Line("E000", "call sub1", 0xBD, 0xE1), "E000||call sub1|||T"},
          {"bne", Line("E000", "bne fin", 0x26, 0x04), "E000||#|fin||T"},
          {"brset direct", Line("E000", "brset $12,#$40,suite", 0x12, 0x12),
           "E000||$12 and #$40 = 1|suite||T"},
          {"brclr indexed", Line("E000", "brclr $10,X,#$01,loop", 0x1F, 0x10),
           "E000||[$10,X] and #$01 = 0|loop||T"},
          {"brset indexed by Y behind its prefix", Line("E000", "brset $10,Y,#$80,l", 0x18, 0x1E),
           "E000||[$10,Y] and #$80 = 1|l||T"},
          // The machine code chooses the row; a listing mnemonic that disagrees
          // with it, or is spelt in another case, is not a branch here.
          {"opcode of another branch", Line("E000", "bne fin", 0x27, 0x04), "E000||bne fin||"},
          {"mnemonic case differs", Line("E000", "BNE fin", 0x26, 0x04), "E000||BNE fin||"},
          {"not a branch", Line("E000", "ldA #$12", 0x86, 0x12), "E000||ldA #$12||"},
      },
      &PseudoRewriter::BranchTemplates);
}

TEST(PseudoMnemonicTemplates, OperandsFillTheRowTemplate) {
  RunCases(
      {
          {"indexed", Line("E000", "ldA $10,X"), "E000||A = [$10+X]|||T"},
          {"indexed without offset", Line("E000", "ldA $00,X"), "E000||A = [X]|||T"},
          {"indexed by Y", Line("E000", "stB $03,Y"), "E000||[$03+Y] = B|||T"},
          {"forced extended", Line("E000", "stA >$1000"), "E000||$1000 = A|||T"},
          {"direct keeps no brackets", Line("E000", "ldA $10"), "E000||A = $10|||T"},
          {"mnemonic case ignored", Line("E000", "LDA #1"), "E000||A = #1|||T"},
          {"inherent", Line("E000", "mul"), "E000||D = A * B|||T"},
          {"bit mask after the indexed operand", Line("E000", "bclr $10,X,#$01"),
           "E000||bit [$10+X].#$01 = 0|||T"},
          {"word table entry reads as a call", Line("E000", "dw sub1"), "E000||call sub1|||T"},
          {"byte data", Line("E000", "DB $12,$13"), "E000||db $12,$13|||T"},
          {"unknown mnemonic kept", Line("E000", "nop"), "E000||nop||"},
          {"branch statement from the first pass kept", Line("E000", "#").target("fin"), "E000||#|fin|"},
      },
      &PseudoRewriter::MnemonicTemplates);
}

// Read-modify-write rows name their one memory operand on both sides.
TEST(PseudoMnemonicTemplates, SingleOperandNamedTwice) {
  RunCases(
      {
          {"inc direct", Line("E000", "inc $10"), "E000||$10 = $10 + 1|||T"},
          {"dec extended", Line("E000", "dec >$1234"), "E000||$1234 = $1234 - 1|||T"},
          {"lsl indexed", Line("E000", "lsl $05,X"), "E000||[$05+X] = [$05+X] * 2|||T"},
      },
      &PseudoRewriter::MnemonicTemplates);
}

TEST(PseudoTemplateText, PlaceholdersNeverReadPastTheArguments) {
  EXPECT_EQ(ApplyTemplate("%s = %s", {"x"}), "x = ");
  EXPECT_EQ(ApplyTemplate("a(%s,%s)", {"1", "2", "3"}), "a(1,2)");
  EXPECT_EQ(ApplyTemplate("100%% %d %s%", {"x"}), "100% %d x%");
}

}  // namespace
}  // namespace hc11
