// Merging neighbouring statements: stores, uses, index loads, flag branches.
#include <functional>
#include <random>

#include "core/text_util.h"
#include "pseudo_test_util.h"

namespace hc11::test {
namespace {

TEST(PseudoFusion, StoresOfTheLoadedRegisterJoinTheLoad) {
  RunCases(
      {
          {"chain of stores with comments joined",
           {"E000||A = $10||c1", "E002||$20 = A||c2", "E004||$21 = A"},
           {"E000||$20 = $21 = $10||c1 , c2"}},
          {"expression value in brackets", {"E000||A = A +1", "E001||$30 = A"}, {"E000||$30 = (A +1)"}},
          {"register copy counts as a store", {"E000||A = $10", "E002||B = A"}, {"E000||B = $10"}},
          {"comment records in between neither stop nor vanish",
           {"E000||A = $10", "||||note", "E002||$20 = A"},
           {"E000||$20 = $10", "||||note"}},
          {"labelled store keeps its own line", {"E000||A = 0", "E001|ici|$20 = A"}, {}},
          {"first statement that is no store ends the chain",
           {"E000||A = $10", "E002||B = $5", "E004||$20 = A"},
           {}},
          {"a jump ends the chain", {"E000||A = $10", "E002|||loin", "E004||$20 = A"}, {}},
          // Only a right side that is exactly the register is a store.
          {"symbol that merely starts with the register letter", {"E000||A = $10", "E002||X = ADRTAB"}, {}},
          {"register used inside an expression", {"E000||A = $10", "E002||D = A * B"}, {}},
      },
      [](PseudoRewriter& r) { r.StoreFusion('A'); });
  RunCases({{"register B",
             {"E000||B = [X]", "E002||$40 = B", "E004||X = BUFFER"},
             {"E000||$40 = [X]", "E004||X = BUFFER"}}},
           [](PseudoRewriter& r) { r.StoreFusion('B'); });
}

TEST(PseudoFusion, LoadedValueReplacesTheRegisterOnce) {
  RunCases(
      {
          {"value replaces A and the search blank stays",
           {"E000||A = $10", "E002||A = A + B||plus"},
           {"E000||A = $10 + B || , plus"}},
          {"at most one merge per element",
           {"E000||A = $10", "E002||A = A + B", "E004||A = A + $1"},
           {"E000||A = $10 + B ", "E004||A = A + $1"}},
          {"next statement has no assignment", {"E000||A = $10", "E002||A - $20"}, {}},
          {"labelled use is not merged", {"E000||A = $10", "E002|l|A = A + B"}, {}},
          {"register name inside a word is no use", {"E000||A = $10", "E002||X = ADR"}, {}},
      },
      [](PseudoRewriter& r) { r.UseSubstitution('A'); });

  TListSyn lines = Recs({"E000||B = $5", "E002||A = A + B||||Z"});
  PseudoRewriter(lines, {}).UseSubstitution('B');
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].Text, "A = A + $5 ");
  EXPECT_TRUE(lines[0].Marks.AffecteZ);  // the merged statement's flags
}

TEST(PseudoFusion, IndexLoadFoldsIntoTheAccess) {
  RunCases(
      {
          {"store through X",
           {"E000|init|X = #$1000||port", "||||r", "E003||[X] = A||sortie"},
           {"||||r", "E000|init|[#$1000] = A||sortie , port|T"}},
          {"read through X", {"E000||X = #$1000", "E003||A = [X]"}, {"E000||A = [#$1000]|||T"}},
          // What stands around the "[X]" stays.
          {"word read keeps its mark", {"E000||X = $40", "E003||D = [X],1"}, {"E000||D = [$40],1|||T"}},
          {"every store of a chain kept",
           {"E000||X = $40", "E003||$20 = $21 = [X]"},
           {"E000||$20 = $21 = [$40]|||T"}},
          {"labelled access stays apart", {"E000||X = $40", "E003|l|A = [X]"}, {}},
          {"previous statement loads another register", {"E000||Y = $40", "E003||[X] = A"}, {}},
          {"read-modify-write through X",
           {"E000||X = #$1000", "E003||[X] = [X] + 1"},
           {"E000||[#$1000] = [#$1000] + 1|||T"}},
          {"through Y likewise", {"E000||Y = $40", "E004||[Y] = [Y] - 1"}, {"E000||[$40] = [$40] - 1|||T"}},
      },
      [](PseudoRewriter& r) { r.IndexFolding(); });
}

TEST(PseudoFusion, FlagTestFoldsIntoTheStatementThatSetsTheFlag) {
  const std::string testZ = "E000||A - $20||q||Z", testC = "E000||A - $20||||C";
  RunCases(
      {
          {"zero set", {testZ, "E002||bit(status,z) =1|fin|e"}, {"E000||(A - $20) = 0|fin|eq"}},
          {"zero clear", {testZ, "E002||Bit(Status,Z) =0|fin"}, {"E000||(A - $20) <> 0|fin|q"}},
          {"carry set", {testC, "E002||bit(status,c) =1|fin"}, {"E000||(A - $20) < 0|fin"}},
          {"carry clear", {testC, "E002||bit(status,c) =0|fin"}, {"E000||(A - $20) >= 0|fin"}},
          {"flag value neither 1 nor 0",
           {testZ, "E002||bit(status,z) = 1|fin"},
           {"E000||Arg erreur :A - $20|fin|q"}},
          {"previous statement does not set that flag",
           {testC, "E002||bit(status,z) =1|fin"},
           {"E000||A - $20", "E002||bit(status,z) =1|fin"}},
          {"labelled test stays",
           {testZ, "E002|l|bit(status,z) =1|fin"},
           {"E000||A - $20||q", "E002|l|bit(status,z) =1|fin"}},
      },
      [](PseudoRewriter& r) { r.BranchFusion(); });
}

// A merged statement covers every instruction it took in, so a stop on any
// of them finds its line: its range ends at the last one's address.
TEST(PseudoFusion, MergedStatementsCoverEveryAddressTheyTookIn) {
  struct Case {
    const char* name;
    std::vector<std::string> in;
    std::function<void(PseudoRewriter&)> pass;
    const char* first;
    const char* last;
  };
  const Case cases[] = {
      {"stores",
       {"E000||A = $10", "E002||$20 = A", "E004||$21 = A"},
       [](PseudoRewriter& r) { r.StoreFusion('A'); },
       "E000",
       "E004"},
      {"use",
       {"E000||A = $10", "E002||A = A + B"},
       [](PseudoRewriter& r) { r.UseSubstitution('A'); },
       "E000",
       "E002"},
      {"index load",
       {"E000||X = $40", "E003||A = [X]"},
       [](PseudoRewriter& r) { r.IndexFolding(); },
       "E000",
       "E003"},
      {"flag branch",
       {"E000||A - $20||||Z", "E002||bit(status,z) =1|fin"},
       [](PseudoRewriter& r) { r.BranchFusion(); },
       "E000",
       "E002"},
  };
  for (const Case& c : cases) {
    TListSyn lines = Recs(c.in);
    PseudoRewriter r(lines, {});
    c.pass(r);
    ASSERT_EQ(lines.size(), 1u) << c.name;
    EXPECT_EQ(lines[0].AddrText, c.first) << c.name;
    EXPECT_EQ(lines[0].AddrEndText, c.last) << c.name;
  }
  // Passes one after the other keep extending the range.
  TListSyn lines = Recs({"E000||X = $40", "E003||A = [X]", "E005||$20 = A"});
  PseudoRewriter r(lines, {});
  r.IndexFolding();
  r.StoreFusion('A');
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].AddrText + "-" + lines[0].AddrEndText, "E000-E005");
}

// Lists made of statement fragments in every order: the passes must neither
// fail nor invent records or addresses.
TEST(PseudoFusion, ArbitraryFragmentsKeepTheListSound) {
  // Fragments separated by "/", the empty one included.
  std::vector<std::string> texts;
  std::istringstream fragments(
      "ldA #1/stA $20/ldX #$1000/stA $00,X/ldA $00,X/ldB $10/aBA/jmp/call affiche/call/tempo/tempo "
      "1,2,3/bit(status,z) =1/bit(status,c) =x/(/)(/A = / = A/[X] = / = [X]//dw/inc $10/brset "
      "$1,#2,l/%s%s%s");
  for (std::string t; std::getline(fragments, t, '/');) texts.push_back(t);
  const TMacroTable macros = {
      {"tempo", "1S2LS", "%s(%s)%s"}, {"call affiche", "1", "affiche(A)"}, {"call", "S", ")("}};
  std::mt19937 random(12345);
  for (int round = 0; round < 300; ++round) {
    TListSyn lines;
    const int n = static_cast<int>(random() % 12);
    for (int i = 0; i < n; ++i) {
      TSynElem e;
      e.AddrText = random() % 4 != 0 ? Format("E%03X", i) : "";
      e.Text = texts[random() % texts.size()];
      e.Op1 = static_cast<std::uint8_t>(random());
      e.Op2 = static_cast<std::uint8_t>(random());
      if (random() % 5 == 0) e.Label = random() % 2 ? "g" : "@l";
      if (random() % 5 == 0) e.Target = "t";
      e.Marks.AffecteZ = e.Marks.AffecteC = random() % 3 == 0;
      lines.push_back(e);
    }
    const TListSyn before = lines;
    PseudoRewriter(lines, macros).RunAll();
    ASSERT_LE(lines.size(), before.size());
    for (const TSynElem& e : lines) {
      bool known = e.AddrText.empty();
      for (const TSynElem& b : before) known = known || b.AddrText == e.AddrText;
      EXPECT_TRUE(known) << e.AddrText;
    }
  }
}

}  // namespace
}  // namespace hc11::test
