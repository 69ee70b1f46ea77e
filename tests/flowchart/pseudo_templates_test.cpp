// Branch and mnemonic templates: one listing line in, one statement out.
#include "pseudo_test_util.h"

namespace hc11::test {
namespace {

TEST(PseudoTemplates, BranchConditionFromMachineCodeAndTargetFromLastOperand) {
  RunCases(
      {
          {"jump becomes a bare line", {"E000||jmp|loop"}, {"E000|||loop||T"}},
          {"call kept", {"E000||call sub1|||BD E1"}, {"E000||call sub1|||T"}},
          {"bne", {"E000||bne fin|||26 04"}, {"E000||#|fin||T"}},
          {"brset direct", {"E000||brset $12,#$40,suite|||12 12"}, {"E000||$12 and #$40 = 1|suite||T"}},
          {"brclr indexed", {"E000||brclr $10,X,#$01,loop|||1F 10"}, {"E000||[$10,X] and #$01 = 0|loop||T"}},
          {"brset by Y behind its prefix",
           {"E000||brset $10,Y,#$80,l|||18 1E"},
           {"E000||[$10,Y] and #$80 = 1|l||T"}},
          // The machine code chooses the row; a listing mnemonic that disagrees
          // with it, or is spelt in another case, is not a branch here.
          {"opcode of another branch", {"E000||bne fin|||27 04"}, {"E000||bne fin"}},
          {"mnemonic case differs", {"E000||BNE fin|||26 04"}, {"E000||BNE fin"}},
          {"not a branch", {"E000||ldA #$12|||86 12"}, {"E000||ldA #$12"}},
      },
      [](PseudoRewriter& r) { r.BranchTemplates(); });
}

TEST(PseudoTemplates, MnemonicOperandsFillTheRowTemplate) {
  RunCases(
      {
          {"indexed", {"E000||ldA $10,X"}, {"E000||A = [$10+X]|||T"}},
          {"indexed without offset", {"E000||ldA $00,X"}, {"E000||A = [X]|||T"}},
          {"indexed by Y", {"E000||stB $03,Y"}, {"E000||[$03+Y] = B|||T"}},
          {"forced extended", {"E000||stA >$1000"}, {"E000||$1000 = A|||T"}},
          {"direct keeps no brackets", {"E000||ldA $10"}, {"E000||A = $10|||T"}},
          {"mnemonic case ignored", {"E000||LDA #1"}, {"E000||A = #1|||T"}},
          {"inherent", {"E000||mul"}, {"E000||D = A * B|||T"}},
          {"bit mask after the indexed operand",
           {"E000||bclr $10,X,#$01"},
           {"E000||bit [$10+X].#$01 = 0|||T"}},
          {"word table entry reads as a call", {"E000||dw sub1"}, {"E000||call sub1|||T"}},
          {"byte data", {"E000||DB $12,$13"}, {"E000||db $12,$13|||T"}},
          {"unknown mnemonic kept", {"E000||frob"}, {}},
          {"branch statement from the first pass kept", {"E000||#|fin"}, {}},
          // Read-modify-write rows name their one memory operand on both sides.
          {"inc direct", {"E000||inc $10"}, {"E000||$10 = $10 + 1|||T"}},
          {"dec extended", {"E000||dec >$1234"}, {"E000||$1234 = $1234 - 1|||T"}},
          {"lsl indexed", {"E000||lsl $05,X"}, {"E000||[$05+X] = [$05+X] * 2|||T"}},
      },
      [](PseudoRewriter& r) { r.MnemonicTemplates(); });
}

TEST(PseudoTemplates, PlaceholdersNeverReadPastTheArguments) {
  EXPECT_EQ(ApplyTemplate("%s = %s", {"x"}), "x = ");
  EXPECT_EQ(ApplyTemplate("a(%s,%s)", {"1", "2", "3"}), "a(1,2)");
  EXPECT_EQ(ApplyTemplate("100%% %d %s%", {"x"}), "100% %d x%");
}

const TMacroTable kMacros = {
    {"tempo", "1S", "%s"},           {"saut", "12L", "si %s = %s"}, {"call affiche", "1", "affiche(A)"},
    {"call efface", "", "efface()"}, {"call note", "", "note(%d)"},
};

TEST(PseudoMacroCalls, ArgumentsJumpLabelsAndRegisterParameters) {
  RunCases(
      {
          {"skip macro labels the element two places on",
           {"E000|boucle|A = 1", "E002||tempo 5", "E005||A = 2", "E007||A = 3"},
           {"E000|boucle|A = 1", "E002||5|@boucle0||T", "E005||A = 2", "E007|@boucle0|A = 3"}},
          {"counter runs per global label and local labels do not reset it",
           {"E000|b|A = 1", "E002||TEMPO 1", "E004|@loc|x", "E005||tempo 2", "E006||y", "E007||z",
            "E008|c|A = 1", "E009||tempo 3", "E00A||u", "E00B||v"},
           {"E000|b|A = 1", "E002||1|@b0||T", "E004|@loc|x", "E005|@b0|2|@b1||T", "E006||y", "E007|@b1|z",
            "E008|c|A = 1", "E009||3|@c0||T", "E00A||u", "E00B|@c0|v"}},
          {"jump label from an operand", {"E000||saut A,#3,fin"}, {"E000||si A = #3|fin||T"}},
          {"skip at the end of the list labels nothing",
           {"E000||tempo 5", "E002||A = 2"},
           {"E000||5|@0||T", "E002||A = 2"}},
          // A label already standing where the skip lands is the target; the
          // jumps that name it must still find it.
          {"landing element already labelled",
           {"E000||tempo 5", "E002||A = 2", "E004|suite|A = 3"},
           {"E000||5|suite||T", "E002||A = 2", "E004|suite|A = 3"}},
          {"unknown name left alone", {"E000||call autre"}, {}},
          {"user template with a foreign placeholder", {"E000||call note"}, {"E000||note(%d)|||T"}},
          {"register load folded into the call",
           {"E000|debut|A = 5||cinq", "||||r", "E002||call affiche"},
           {"||||r", "E000|debut|affiche(5)|| , cinq|T"}},
          {"call with a label keeps the load",
           {"E000||A = 5", "E002|l|call affiche"},
           {"E000||A = 5", "E002|l|affiche(A)|||T"}},
          // "DATA = 5" stores into DATA; it says nothing of A and must stay.
          {"longer name ending like the parameter",
           {"E000||DATA = 5", "E002||call affiche"},
           {"E000||DATA = 5", "E002||affiche(A)|||T"}},
          {"empty brackets name no parameter",
           {"E000||A = 5", "E002||call efface"},
           {"E000||A = 5", "E002||efface()|||T"}},
      },
      [](PseudoRewriter& r) { r.MacroCalls(); }, kMacros);
}

}  // namespace
}  // namespace hc11::test
