// Merging neighbouring statements: stores, uses, index loads, flag branches.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "core/text_util.h"
#include "flowchart/pseudo_rewriter.h"
#include "pseudo_test_util.h"

namespace hc11 {
namespace {

using test::Line;
using test::Remark;
using test::View;

struct ListCase {
  const char* name;
  TListSyn in;
  std::vector<std::string> want;
};

void RunCases(const std::vector<ListCase>& cases, const std::function<void(PseudoRewriter&)>& pass) {
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.name);
    TListSyn lines = c.in;
    TMacroTable none;
    PseudoRewriter rewriter(lines, none);
    pass(rewriter);
    EXPECT_EQ(View(lines), c.want);
  }
}

TEST(PseudoStoreFusion, StoresOfTheLoadedRegisterJoinTheLoad) {
  RunCases(
      {
          {"chain of stores",
           {Line("E000", "A = $10"), Line("E002", "$20 = A"), Line("E004", "$21 = A")},
           {"E000||$20 = $21 = $10||"}},
          {"expression value in brackets",
           {Line("E000", "A = A +1"), Line("E001", "$30 = A")},
           {"E000||$30 = (A +1)||"}},
          {"register copy counts as a store",
           {Line("E000", "A = $10"), Line("E002", "B = A")},
           {"E000||B = $10||"}},
          {"comment records in between neither stop nor vanish",
           {Line("E000", "A = $10"), Remark("note"), Line("E002", "$20 = A")},
           {"E000||$20 = $10||", "||||note"}},
          {"comments joined",
           {Line("E000", "A = $10").comment("c1"), Line("E002", "$20 = A").comment("c2"),
            Line("E004", "$21 = A")},
           {"E000||$20 = $21 = $10||c1 , c2"}},
          {"labelled store keeps its own line",
           {Line("E000", "A = 0"), Line("E001", "$20 = A").label("ici")},
           {"E000||A = 0||", "E001|ici|$20 = A||"}},
          {"first statement that is no store ends the chain",
           {Line("E000", "A = $10"), Line("E002", "B = $5"), Line("E004", "$20 = A")},
           {"E000||A = $10||", "E002||B = $5||", "E004||$20 = A||"}},
          {"a jump ends the chain",
           {Line("E000", "A = $10"), Line("E002", "").target("loin"), Line("E004", "$20 = A")},
           {"E000||A = $10||", "E002|||loin|", "E004||$20 = A||"}},
          // Only a right side that is exactly the register is a store.
          {"symbol that merely starts with the register letter",
           {Line("E000", "A = $10"), Line("E002", "X = ADRTAB")},
           {"E000||A = $10||", "E002||X = ADRTAB||"}},
          {"register used inside an expression",
           {Line("E000", "A = $10"), Line("E002", "D = A * B")},
           {"E000||A = $10||", "E002||D = A * B||"}},
      },
      [](PseudoRewriter& r) { r.StoreFusion('A'); });

  RunCases({{"register B",
             {Line("E000", "B = [X]"), Line("E002", "$40 = B"), Line("E004", "X = BUFFER")},
             {"E000||$40 = [X]||", "E004||X = BUFFER||"}}},
           [](PseudoRewriter& r) { r.StoreFusion('B'); });
}

TEST(PseudoUseSubstitution, LoadedValueReplacesTheRegisterOnce) {
  auto z = [](Line l) { return l.setsZ(); };
  RunCases(
      {
          {"value replaces A and the search blank stays",
           {Line("E000", "A = $10"), Line("E002", "A = A + B").comment("plus")},
           {"E000||A = $10 + B ||"
            " , plus"}},
          {"at most one merge per element",
           {Line("E000", "A = $10"), Line("E002", "A = A + B"), Line("E004", "A = A + $1")},
           {"E000||A = $10 + B ||", "E004||A = A + $1||"}},
          {"next statement has no assignment",
           {Line("E000", "A = $10"), Line("E002", "A - $20")},
           {"E000||A = $10||", "E002||A - $20||"}},
          {"labelled use is not merged",
           {Line("E000", "A = $10"), Line("E002", "A = A + B").label("l")},
           {"E000||A = $10||", "E002|l|A = A + B||"}},
          {"register name inside a word is no use",
           {Line("E000", "A = $10"), Line("E002", "X = ADR")},
           {"E000||A = $10||", "E002||X = ADR||"}},
      },
      [](PseudoRewriter& r) { r.UseSubstitution('A'); });

  TListSyn lines{Line("E000", "B = $5"), z(Line("E002", "A = A + B"))};
  TMacroTable none;
  PseudoRewriter(lines, none).UseSubstitution('B');
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].Text, "A = A + $5 ");
  EXPECT_TRUE(lines[0].Marks.AffecteZ);  // the merged statement's flags
}

TEST(PseudoIndexFolding, IndexLoadFoldsIntoTheAccess) {
  RunCases(
      {
          {"store through X",
           {Line("E000", "X = #$1000").label("init").comment("port"), Remark("r"),
            Line("E003", "[X] = A").comment("sortie")},
           {"||||r", "E000|init|[#$1000] = A||sortie , port|T"}},
          {"read through X",
           {Line("E000", "X = #$1000"), Line("E003", "A = [X]")},
           {"E000||A = [#$1000]|||T"}},
          // What stands around the "[X]" stays.
          {"word read keeps its mark",
           {Line("E000", "X = $40"), Line("E003", "D = [X],1")},
           {"E000||D = [$40],1|||T"}},
          {"every store of a chain kept",
           {Line("E000", "X = $40"), Line("E003", "$20 = $21 = [X]")},
           {"E000||$20 = $21 = [$40]|||T"}},
          {"labelled access stays apart",
           {Line("E000", "X = $40"), Line("E003", "A = [X]").label("l")},
           {"E000||X = $40||", "E003|l|A = [X]||"}},
          {"previous statement loads another register",
           {Line("E000", "Y = $40"), Line("E003", "[X] = A")},
           {"E000||Y = $40||", "E003||[X] = A||"}},
      },
      [](PseudoRewriter& r) { r.IndexFolding(); });
}

TEST(PseudoBranchFusion, FlagTestFoldsIntoTheStatementThatSetsTheFlag) {
  auto testZ = [] { return Line("E000", "A - $20").setsZ().comment("q"); };
  auto testC = [] { return Line("E000", "A - $20").setsC(); };
  RunCases(
      {
          {"zero set",
           {testZ(), Line("E002", "bit(status,z) =1").target("fin").comment("e")},
           {"E000||(A - $20) = 0|fin|eq"}},
          {"zero clear",
           {testZ(), Line("E002", "Bit(Status,Z) =0").target("fin")},
           {"E000||(A - $20) <> 0|fin|q"}},
          {"carry set",
           {testC(), Line("E002", "bit(status,c) =1").target("fin")},
           {"E000||(A - $20) < 0|fin|"}},
          {"carry clear",
           {testC(), Line("E002", "bit(status,c) =0").target("fin")},
           {"E000||(A - $20) >= 0|fin|"}},
          {"flag value neither 1 nor 0",
           {testZ(), Line("E002", "bit(status,z) = 1").target("fin")},
           {"E000||Arg erreur :A - $20|fin|q"}},
          {"previous statement does not set that flag",
           {testC(), Line("E002", "bit(status,z) =1").target("fin")},
           {"E000||A - $20||", "E002||bit(status,z) =1|fin|"}},
          {"labelled test stays",
           {testZ(), Line("E002", "bit(status,z) =1").target("fin").label("l")},
           {"E000||A - $20||q", "E002|l|bit(status,z) =1|fin|"}},
      },
      [](PseudoRewriter& r) { r.BranchFusion(); });
}

}  // namespace
}  // namespace hc11

namespace hc11 {
namespace {

// Lists made of statement fragments in every order: the passes must neither
// fail nor invent records or addresses.
TEST(PseudoAllPasses, ArbitraryFragmentsKeepTheListSound) {
  const std::vector<std::string> texts = {"ldA #1",
                                          "stA $20",
                                          "ldX #$1000",
                                          "stA $00,X",
                                          "ldA $00,X",
                                          "ldB $10",
                                          "aBA",
                                          "jmp",
                                          "call affiche",
                                          "call",
                                          "tempo",
                                          "tempo 1,2,3",
                                          "bit(status,z) =1",
                                          "bit(status,c) =x",
                                          "(",
                                          ")(",
                                          "A = ",
                                          " = A",
                                          "[X] = ",
                                          " = [X]",
                                          "",
                                          "dw",
                                          "inc $10",
                                          "brset $1,#2,l",
                                          "%s%s%s"};
  const TMacroTable macros = {
      {"tempo", "1S2LS", "%s(%s)%s"}, {"call affiche", "1", "affiche(A)"}, {"call", "S", ")("}};
  std::mt19937 random(12345);
  for (int round = 0; round < 300; ++round) {
    TListSyn lines;
    const int n = static_cast<int>(random() % 12);
    for (int i = 0; i < n; ++i) {
      const bool code = random() % 4 != 0;
      Line l(code ? Format("E%03X", i) : "", texts[random() % texts.size()],
             static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()));
      if (random() % 5 == 0) l.label(random() % 2 ? "g" : "@l");
      if (random() % 5 == 0) l.target("t");
      if (random() % 3 == 0) l.setsZ().setsC();
      lines.push_back(l);
    }
    const TListSyn before = lines;
    PseudoRewriter(lines, macros).RunAll();
    ASSERT_LE(lines.size(), before.size());
    for (const TSynElem& e : lines) {
      if (e.AddrText.empty()) continue;
      bool known = false;
      for (const TSynElem& b : before) known = known || b.AddrText == e.AddrText;
      EXPECT_TRUE(known) << e.AddrText;
    }
  }
}

}  // namespace
}  // namespace hc11
