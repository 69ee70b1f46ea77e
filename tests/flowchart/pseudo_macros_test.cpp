// Macro calls and calls of described routines.
#include <gtest/gtest.h>

#include "flowchart/pseudo_rewriter.h"
#include "pseudo_test_util.h"

namespace hc11 {
namespace {

using test::Line;
using test::Remark;
using test::View;

struct MacroCase {
  const char* name;
  TListSyn in;
  std::vector<std::string> want;
};

const TMacroTable kMacros = {
    {"tempo", "1S", "%s"},           {"saut", "12L", "si %s = %s"}, {"call affiche", "1", "affiche(A)"},
    {"call efface", "", "efface()"}, {"call note", "", "note(%d)"},
};

void RunCases(const std::vector<MacroCase>& cases) {
  for (const MacroCase& c : cases) {
    SCOPED_TRACE(c.name);
    TListSyn lines = c.in;
    PseudoRewriter(lines, kMacros).MacroCalls();
    EXPECT_EQ(View(lines), c.want);
  }
}

TEST(PseudoMacroCalls, ArgumentsAndJumpLabels) {
  RunCases({
      {"skip macro labels the element two places on",
       {Line("E000", "A = 1").label("boucle"), Line("E002", "tempo 5"), Line("E005", "A = 2"),
        Line("E007", "A = 3")},
       {"E000|boucle|A = 1||", "E002||5|@boucle0||T", "E005||A = 2||", "E007|@boucle0|A = 3||"}},
      {"counter runs per global label and local labels do not reset it",
       {Line("E000", "A = 1").label("b"), Line("E002", "TEMPO 1"), Line("E004", "x").label("@loc"),
        Line("E005", "tempo 2"), Line("E006", "y"), Line("E007", "z"), Line("E008", "A = 1").label("c"),
        Line("E009", "tempo 3"), Line("E00A", "u"), Line("E00B", "v")},
       {"E000|b|A = 1||", "E002||1|@b0||T", "E004|@loc|x||", "E005|@b0|2|@b1||T", "E006||y||", "E007|@b1|z||",
        "E008|c|A = 1||", "E009||3|@c0||T", "E00A||u||", "E00B|@c0|v||"}},
      {"jump label from an operand", {Line("E000", "saut A,#3,fin")}, {"E000||si A = #3|fin||T"}},
      {"skip at the end of the list labels nothing",
       {Line("E000", "tempo 5"), Line("E002", "A = 2")},
       {"E000||5|@0||T", "E002||A = 2||"}},
      // A label already standing where the skip lands is the target; the
      // jumps that name it must still find it.
      {"landing element already labelled",
       {Line("E000", "tempo 5"), Line("E002", "A = 2"), Line("E004", "A = 3").label("suite")},
       {"E000||5|suite||T", "E002||A = 2||", "E004|suite|A = 3||"}},
      {"unknown name left alone", {Line("E000", "call autre")}, {"E000||call autre||"}},
      {"user template with a foreign placeholder", {Line("E000", "call note")}, {"E000||note(%d)|||T"}},
  });
}

TEST(PseudoMacroCalls, RegisterParameterFoldsTheLoadBeforeTheCall) {
  RunCases({
      {"load folded into the call",
       {Line("E000", "A = 5").label("debut").comment("cinq"), Remark("r"), Line("E002", "call affiche")},
       {"||||r", "E000|debut|affiche(5)|| , cinq|T"}},
      {"call with a label keeps the load",
       {Line("E000", "A = 5"), Line("E002", "call affiche").label("l")},
       {"E000||A = 5||", "E002|l|affiche(A)|||T"}},
      {"previous statement does not set the parameter",
       {Line("E000", "B = 5"), Line("E002", "call affiche")},
       {"E000||B = 5||", "E002||affiche(A)|||T"}},
      // "DATA = 5" stores into DATA; it says nothing of A and must stay.
      {"longer name ending like the parameter",
       {Line("E000", "DATA = 5"), Line("E002", "call affiche")},
       {"E000||DATA = 5||", "E002||affiche(A)|||T"}},
      {"empty brackets name no parameter",
       {Line("E000", "A = 5"), Line("E002", "call efface")},
       {"E000||A = 5||", "E002||efface()|||T"}},
  });
}

}  // namespace
}  // namespace hc11
