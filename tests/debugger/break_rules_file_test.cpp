// The breakpoint extras' file: its lines, damaged lines, entries found again
// after the code moved, and the session keeping the workspace as it was.
#include "debugger/break_rules_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "debugger/session.h"
#include "debugger/workspace_file.h"
#include "tests/support/recording.h"
#include "tests/support/test_files.h"

namespace hc11::test {
namespace {

namespace fs = std::filesystem;

std::optional<std::uint16_t> Symbols(std::string_view name) {
  if (name == "cnt") return 0x40;
  return std::nullopt;
}

class BreakRulesFileTest : public ::testing::Test {
 protected:
  void SetUp() override { list.SetSymbols(Symbols); }
  RecordingHooks hooks;
  Machine m{&hooks};
  BreakpointList list{m};
};

TEST_F(BreakRulesFileTest, RoundTripKeepsEveryFieldAndAwkwardTexts) {
  list.Append({"a\tb", 0xE001, 'C', 2}, true);
  list.Append({"plain", 0xE010, 'C', 2}, true);
  list.Append({"v", 0x0040, 'm', 3}, true);
  ASSERT_EQ(list.SetExtras(0, {"[cnt] == 3 && A > $10", HitRule::Nth, 7, "x\\y\t{A:x}\nz", true}), "");
  ASSERT_EQ(list.SetExtras(2, {"", HitRule::EveryNth, 2, "", false}), "");
  const std::string text = EncodeBreakRules(list.entries());
  EXPECT_EQ(text,
            "# hc11flow : conditions des points d'arrêt\n"
            "E001\tC\tnom=a\\tb\tsi=[cnt] == 3 && A > $10\tn°=7\tlog=x\\\\y\\t{A:x}\\nz\ttemporaire\n"
            "0040\tm\tnom=v\ttous=2\n");
  const BreakRulesRead read = DecodeBreakRules(text);
  EXPECT_TRUE(read.problems.empty());

  BreakpointList fresh{m};
  fresh.SetSymbols(Symbols);
  fresh.Append({"a\tb", 0xE001, 'C', 2}, true);
  fresh.Append({"plain", 0xE010, 'C', 2}, true);
  fresh.Append({"v", 0x0040, 'm', 3}, true);
  EXPECT_TRUE(ApplyBreakRules(fresh, read.lines).empty());
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(fresh.entries()[i].extras, list.entries()[i].extras) << i;
  EXPECT_TRUE(fresh.entries()[0].condition.has_value());
  EXPECT_TRUE(fresh.entries()[0].log.has_value());
}

TEST_F(BreakRulesFileTest, DamagedLinesAreReportedAndSkippedTheRestKept) {
  const std::string text =
      "# comment\n"
      "\n"
      "E001\tC\tsi=A == 1\n"
      "E0G1\tC\tsi=A\n"
      "E002\tX\tsi=A\n"
      "E003\n"
      "E004\tC\tcouleur=rouge\n"
      "E005\tC\tn°=0\n"
      "E006\tC\tlog=bad\\q\n"
      "12345\tC\tsi=A\n"
      "E007\tC\ttous=3\r\n";
  const BreakRulesRead read = DecodeBreakRules(text);
  ASSERT_EQ(read.lines.size(), 2u);
  EXPECT_EQ(read.lines[0].address, 0xE001);
  EXPECT_EQ(read.lines[0].extras.condition, "A == 1");
  EXPECT_EQ(read.lines[1].extras.rule, HitRule::EveryNth);
  EXPECT_EQ(read.lines[1].extras.count, 3u);
  const std::vector<std::string> lines = {"ligne 4 ", "ligne 5 ", "ligne 6 ", "ligne 7 ",
                                          "ligne 8 ", "ligne 9 ", "ligne 10 "};
  ASSERT_EQ(read.problems.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i)
    EXPECT_EQ(read.problems[i].rfind(lines[i], 0), 0u) << read.problems[i];
}

TEST_F(BreakRulesFileTest, EntriesAreFoundAgainAfterTheCodeMoved) {
  // Written when "loop" was at E001; the program was assembled again and
  // its entry now sits at E004.
  list.Append({"other", 0xE001, 'C', 2}, true);
  list.Append({"loop", 0xE004, 'C', 2}, true);
  list.Append({"twin", 0xE008, 'C', 2}, true);
  list.Append({"twin", 0xE00A, 'C', 2}, true);
  const BreakRulesRead read = DecodeBreakRules(
      "E001\tI\tnom=loop\tsi=[cnt] == 2\n"  // no 'I' entry at E001
      "E002\tC\tnom=loop\tsi=[cnt] == 2\n"
      "E00C\tC\tnom=twin\tn°=2\n"        // two entries of that name: neither is guessed
      "E001\tC\tnom=other\tsi=gone\n");  // a symbol that left the listing
  const std::vector<std::string> problems = ApplyBreakRules(list, read.lines);
  EXPECT_EQ(list.entries()[1].extras.condition, "[cnt] == 2");
  EXPECT_TRUE(list.entries()[0].extras.condition.empty());
  EXPECT_FALSE(list.entries()[2].extras.Any());
  EXPECT_FALSE(list.entries()[3].extras.Any());
  ASSERT_EQ(problems.size(), 3u);
  EXPECT_EQ(problems[0], "$E001 I : aucun point d'arrêt à cette adresse, conditions ignorées");
  EXPECT_EQ(problems[1], "$E00C C : aucun point d'arrêt à cette adresse, conditions ignorées");
  EXPECT_EQ(problems[2].rfind("$E001 C : Condition, colonne 1 : symbole inconnu 'gone'", 0), 0u)
      << problems[2];
}

class BreakRulesSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshTestFolder("hc11_break_rules_");
    base = CopyExampleInto(dir, "loop");
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
  std::string base;
  RecordingHooks hooks;
  RecordingMessages messages;
};

TEST_F(BreakRulesSessionTest, ExtrasLiveBesideTheWorkspaceWhichStaysAsItWas) {
  {
    Session session{hooks, messages};
    session.Load(base);
    BreakpointList& breaks = session.breakpoints();
    breaks.Append({"a", 0xE003, 'C', 2}, true);
    breaks.Append({"b", 0xE005, 'C', 3}, true);
    ASSERT_EQ(breaks.SetExtras(0, {"A == 1", HitRule::EveryNth, 2, "", false}), "");
    ASSERT_TRUE(session.Save());
    // The workspace holds exactly what it holds without extras.
    EXPECT_EQ(Slurp(base + ".Zan"), EncodeWorkspace({{"a", 0xE003, 'C', 2}, {"b", 0xE005, 'C', 3}}, {}));
    EXPECT_EQ(Slurp(base + "_Break.txt"),
              "# hc11flow : conditions des points d'arrêt\nE003\tC\tnom=a\tsi=A == 1\ttous=2\n"
              // E005 is inside an instruction: no line to keep.
              "#ancre\tpoint\tE003\tC\tétiquette=debprog_\tdécalage=1\tligne=ldX #$0000\n");
  }
  {
    Session session{hooks, messages};
    session.Load(base);
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_EQ(session.breakpoints().entries().size(), 2u);
    EXPECT_EQ(session.breakpoints().Lines()[0], "e003 C Break    a si A == 1 tous les 2");
    // Extras removed here must not come back from the file at the next load.
    ASSERT_EQ(session.breakpoints().SetExtras(0, {}), "");
    ASSERT_TRUE(session.Save());
  }
  Session session{hooks, messages};
  session.Load(base);
  EXPECT_FALSE(session.breakpoints().entries()[0].extras.Any());
}

TEST_F(BreakRulesSessionTest, NothingToKeepNoFileAndADamagedFileIsReported) {
  {
    Session session{hooks, messages};
    session.Load(base);
    // A RAM entry on no listing line has neither extras nor a place.
    session.breakpoints().Append({"a", 0x0010, 'I', 2}, true);
    ASSERT_TRUE(session.Save());
    EXPECT_FALSE(fs::exists(base + "_Break.txt"));
  }
  std::ofstream(base + "_Break.txt") << "0010\tI\tsi=A ==\n0010\tI\tn°=2\n";
  Session session{hooks, messages};
  session.Load(base);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("Condition, colonne 5"), std::string::npos) << messages.shown[0].text;
  EXPECT_EQ(session.breakpoints().entries().size(), 1u);  // the entry itself is kept
}

}  // namespace
}  // namespace hc11::test
