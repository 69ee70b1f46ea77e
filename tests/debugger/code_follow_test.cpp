// Breakpoints and watches after the program was assembled again: their
// places kept beside the workspace, read back by this reader and skipped by
// one without them, and the session moving, keeping and reporting entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/break_state.h"
#include "debugger/break_rules_file.h"
#include "debugger/controller.h"
#include "debugger/workspace_file.h"
#include "tests/support/reassembled.h"
#include "tests/support/recording.h"
#include "tests/support/test_files.h"

namespace hc11::test {
namespace {

namespace fs = std::filesystem;

TEST(AnchorLines, RoundTripWithAwkwardTextsAndAnOlderReaderSkipsThem) {
  RecordingHooks hooks;
  Machine m{&hooks};
  BreakpointList list{m};
  list.Append({"a", 0xE006, 'C', 2}, true);
  list.Append({"v", 0xE008, 'C', 3}, true);
  list.Append({"plain", 0xE010, 'C', 2}, true);
  ASSERT_EQ(list.SetExtras(0, {"A == 1", HitRule::Always, 0, "", false}), "");
  list.SetPlace(0, CodeAnchor{"bou\tcle", 2, "stA cnt"}, false);
  list.SetPlace(1, CodeAnchor{"", 0, "jmp boucle"}, false);
  const std::string text = EncodeBreakRules(list.entries(), {{0x0040, 'I', "cnt"}});
  EXPECT_EQ(text,
            "# hc11flow : conditions des points d'arrêt\n"
            "E006\tC\tnom=a\tsi=A == 1\n"
            "#ancre\tpoint\tE006\tC\tétiquette=bou\\tcle\tdécalage=2\tligne=stA cnt\n"
            "#ancre\tpoint\tE008\tC\tétiquette=\tdécalage=0\tligne=jmp boucle\n"
            "#ancre\tsurv\t0040\tI\tnom=cnt\n");
  const BreakRulesRead read = DecodeBreakRules(text);
  EXPECT_TRUE(read.problems.empty());
  ASSERT_EQ(read.lines.size(), 1u);
  ASSERT_EQ(read.anchors.size(), 2u);
  EXPECT_EQ(read.anchors[0].address, 0xE006);
  EXPECT_EQ(read.anchors[0].anchor, (CodeAnchor{"bou\tcle", 2, "stA cnt"}));
  EXPECT_EQ(read.anchors[1].anchor.text, "jmp boucle");
  ASSERT_EQ(read.watches.size(), 1u);
  EXPECT_EQ(read.watches[0].name, "cnt");
  EXPECT_EQ(read.watches[0].type, 'I');

  // A reader without anchors takes every "#" line for a comment: what it
  // reads is what it read before.
  std::string older;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start) + 1;
    if (text.compare(start, 7, "#ancre\t") != 0) older += text.substr(start, end - start);
    start = end;
  }
  EXPECT_EQ(DecodeBreakRules(older).lines.size(), read.lines.size());
  EXPECT_EQ(DecodeBreakRules(older).lines[0].extras, read.lines[0].extras);
}

TEST(AnchorLines, DamagedAnchorsAreReportedAndSkipped) {
  const std::string text =
      "#ancre\tpoint\tE0G6\tC\tligne=x\n"
      "#ancre\tpoint\tE006\tX\tligne=x\n"
      "#ancre\tpoint\tE006\tC\tdécalage=-1\n"
      "#ancre\tpoint\tE006\tC\tcouleur=rouge\n"
      "#ancre\tcible\tE006\tC\n"
      "#ancre\tsurv\t0040\n"
      "#ancre\tsurv\t0040\tI\tnom=bad\\q\n"
      "#ancre\tpoint\tE006\tC\tétiquette=b\tdécalage=0\tligne=ok\r\n"
      "# a plain comment\n";
  const BreakRulesRead read = DecodeBreakRules(text);
  ASSERT_EQ(read.anchors.size(), 1u);
  EXPECT_EQ(read.anchors[0].anchor, (CodeAnchor{"b", 0, "ok"}));
  ASSERT_EQ(read.problems.size(), 7u);
  for (std::size_t i = 0; i < read.problems.size(); ++i)
    EXPECT_EQ(read.problems[i].rfind("ligne " + std::to_string(i + 1) + " : ", 0), 0u) << read.problems[i];
}

class CodeFollowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshTestFolder("hc11_code_follow_");
    base = (dir / "prog").string();
    AssembleAs(base, kFirstVersion);
    Session session{hooks, messages};
    session.Load(base);
    session.breakpoints().Append({"store", kStoreBefore, 'C', kBreakStop}, true);
    session.breakpoints().Append({"jump", kJumpBefore, 'C', kBreakStop}, true);
    session.watches().AddSymbol("cnt", 0x40, 'I');
    session.watches().AddSymbol("gone", 0x41, 'I');
    zanExpected = EncodeWorkspace(session.breakpoints().entries(), session.watches().entries());
    ASSERT_TRUE(session.Save());
    messages.shown.clear();
  }
  void TearDown() override { fs::remove_all(dir); }

  fs::path dir;
  std::string base, zanExpected;
  RecordingHooks hooks;
  RecordingMessages messages;
};

TEST_F(CodeFollowTest, TheWorkspaceStaysAsDesignedAndThePlacesGoBesideIt) {
  EXPECT_EQ(Slurp(base + ".Zan"), zanExpected);
  const std::string rules = Slurp(base + "_Break.txt");
  EXPECT_NE(rules.find("#ancre\tpoint\tE006\tC\tétiquette=boucle\tdécalage=1\tligne=stA cnt\n"),
            std::string::npos)
      << rules;
  EXPECT_NE(rules.find("#ancre\tpoint\tE008\tC\tétiquette=boucle\tdécalage=2\tligne=jmp boucle\n"),
            std::string::npos)
      << rules;
  EXPECT_NE(rules.find("#ancre\tsurv\t0041\tI\tnom=gone\n"), std::string::npos) << rules;
}

TEST_F(CodeFollowTest, AfterReassemblyAnEntryMovesWithItsLineAndALostOneStaysReportedOnce) {
  AssembleAs(base, kSecondVersion);
  Controller c{hooks, messages};
  c.machine().StepBudget = 10000;
  c.Load(base);
  const Session& s = c.session();

  ASSERT_EQ(s.Followed().size(), 2u);
  EXPECT_EQ(s.Followed()[0].place, AnchorPlace::Moved);
  EXPECT_EQ(s.Followed()[0].from, kStoreBefore);
  EXPECT_EQ(s.Followed()[0].to, kStoreAfter);
  EXPECT_EQ(AnchorWhere(s.Followed()[0].anchor), "boucle+1");
  EXPECT_EQ(s.Followed()[1].place, AnchorPlace::Lost);
  EXPECT_EQ(s.VanishedSymbols(), std::vector<std::string>{"gone"});

  const std::vector<std::string> lines = c.session().breakpoints().Lines();
  EXPECT_EQ(lines[0], "e008 C Break    store");
  EXPECT_EQ(lines[1], "e008 C Break    jump déplacé?");  // left where it was, not lost
  ASSERT_EQ(messages.shown.size(), 1u);
  const std::string& text = messages.shown[0].text;
  EXPECT_NE(text.find("e008 C Break    jump : boucle+2 'jmp boucle' introuvable"), std::string::npos) << text;
  EXPECT_NE(text.find("surveillance 'gone' : symbole disparu"), std::string::npos) << text;
  EXPECT_EQ(text.find("store"), std::string::npos) << text;  // a move is no fault

  // The run stops on the instruction the breakpoint was set on.
  const StopEvent e = c.Run(RunKind::Run);
  EXPECT_EQ(e.cause, StopCause::Breakpoint);
  EXPECT_EQ(e.pc, kStoreAfter);
  const auto& listing = c.session().listing().LineList;
  const auto at =
      std::find_if(listing.begin(), listing.end(), [](const TSynElem& l) { return l.AddrText == "E008"; });
  ASSERT_NE(at, listing.end());
  EXPECT_EQ(at->Text, "stA cnt");
}

TEST_F(CodeFollowTest, SavedAfterTheMoveTheNextLoadFindsEverythingInPlace) {
  AssembleAs(base, kSecondVersion);
  {
    Session session{hooks, messages};
    session.Load(base);
    ASSERT_TRUE(session.Save());
  }
  messages.shown.clear();
  Session session{hooks, messages};
  session.Load(base);
  // The moved entry's new place was saved; the lost one keeps its old anchor
  // and is said again until the user places it.
  ASSERT_EQ(session.Followed().size(), 1u);
  EXPECT_EQ(session.Followed()[0].place, AnchorPlace::Lost);
  EXPECT_EQ(session.breakpoints().entries()[0].address, kStoreAfter);
  EXPECT_FALSE(session.breakpoints().entries()[0].misplaced);
  ASSERT_EQ(messages.shown.size(), 1u);

  // Placed again by the user: the mark goes and so does the message.
  BreakDialog d = FillBreakDialog(session.breakpoints().entries()[1]);
  d.address = "E00A";  // the loop's new jump
  ASSERT_EQ(session.breakpoints().Edit(1, d), "");
  EXPECT_EQ(session.breakpoints().Lines()[1], "e00a C Break    jump");
  ASSERT_TRUE(session.Save());
  messages.shown.clear();
  Session again{hooks, messages};
  again.Load(base);
  EXPECT_TRUE(again.Followed().empty());
  // The watch whose symbol went was said once; unresolved when saved, it
  // carries no place since.
  EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace hc11::test
