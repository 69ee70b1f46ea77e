// Breakpoint extras while a program runs: conditions, hit counts, temporary
// entries, logpoints, faults, and the stop expression.
#include <gtest/gtest.h>

#include "core/run_engine.h"
#include "debugger/breakpoints.h"
#include "debugger/controller.h"
#include "tests/support/recording.h"

namespace hc11::test {
namespace {

// E000 5C        incB
// E001 D7 40     stB $40
// E003 20 FB     jr $E000
class BreakRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::uint8_t code[] = {0x5C, 0xD7, 0x40, 0x20, 0xFB};
    std::copy(std::begin(code), std::end(code), m.Memory.begin() + 0xE000);
    m.CodeEnd = 0xE005;
    m.StartPC = 0xE000;
    m.ResetMachine();
    m.cpu.B = 0;
    m.StepBudget = 200;
    list.SetSymbols([](std::string_view name) -> std::optional<std::uint16_t> {
      if (name == "cnt") return 0x40;
      return std::nullopt;
    });
  }
  // A code "Break" at $E001 (before the store) with `extras`.
  void BreakAt(std::uint16_t address, const BreakExtras& extras, char kind = 'C', std::uint8_t state = 2) {
    list.Append({"bp", address, kind, state}, true);
    ASSERT_EQ(list.SetExtras(list.entries().size() - 1, extras), "");
  }
  void Run() { RunCommand(m, kModeRun, false); }
  std::vector<std::string> Events() const {
    std::vector<std::string> texts;
    for (const std::string& line : hooks.trace) texts.push_back(line.substr(line.find("ms ") + 3));
    return texts;
  }
  static BreakExtras Extras(std::string condition, HitRule rule = HitRule::Always, std::uint32_t count = 0,
                            std::string log = {}, bool temporary = false) {
    return BreakExtras{std::move(condition), rule, count, std::move(log), temporary};
  }

  RecordingHooks hooks;
  Machine m{&hooks};
  BreakpointList list{m};
};

TEST_F(BreakRulesTest, EachRuleStopsOnTheHitsItNames) {
  struct Case {
    const char* what;
    BreakExtras extras;
    std::vector<int> stopsAtB;  // B at each stop of successive runs; -1: the budget ended the run
  };
  const Case cases[] = {
      {"plain", Extras(""), {1, 2, 3}},
      {"condition", Extras("B == 3 || [cnt] == 6"), {3, 7, -1}},
      {"nth", Extras("", HitRule::Nth, 4), {4, -1}},
      {"every nth", Extras("", HitRule::EveryNth, 3), {3, 6, 9}},
      {"condition then nth", Extras("B & 1", HitRule::Nth, 2), {3, -1}},
      {"hits in the condition", Extras("hits == 0 || B == 5"), {1, 5}},
      {"temporary", Extras("B == 2", HitRule::Always, 0, "", true), {2, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    list.ClearAll();
    m.ResetMachine();
    m.cpu.B = 0;
    m.Memory[0x40] = 0;
    m.StepBudget = 40;
    BreakAt(0xE001, c.extras);
    for (const int b : c.stopsAtB) {
      Run();
      if (b < 0) {
        EXPECT_EQ(hooks.stopReason, "stop ");
      } else {
        EXPECT_EQ(hooks.stopReason.rfind("Break ", 0), 0u) << hooks.stopReason;
        EXPECT_EQ(m.cpu.PC, 0xE001);
        EXPECT_EQ(m.cpu.B, b);
      }
    }
  }
}

TEST_F(BreakRulesTest, TemporaryEntryIsRemovedAfterItsStop) {
  BreakAt(0xE001, Extras("", HitRule::Always, 0, "", true));
  Run();
  EXPECT_EQ(m.cpu.PC, 0xE001);
  EXPECT_TRUE(list.entries().empty());
  EXPECT_EQ(m.tInst[0xE001], 0);
}

TEST_F(BreakRulesTest, LogpointWritesItsMessageAndTheRunGoesOn) {
  BreakAt(0xE001, Extras("", HitRule::Always, 0, "B={B} cnt={[cnt]:x} n{hits}"));
  m.Memory[0x40] = 0x0E;
  m.StepBudget = 9;  // three turns of the loop
  Run();
  EXPECT_EQ(hooks.stopReason, "stop ");
  EXPECT_EQ(Events(), (std::vector<std::string>{"B=1 cnt=e n1", "B=2 cnt=1 n2", "B=3 cnt=2 n3"}));
}

TEST_F(BreakRulesTest, TraceStateWithAConditionTracesOnlyWhenTrue) {
  list.Append({"t", 0xE001, 'C', 3}, true);
  ASSERT_EQ(list.SetExtras(0, Extras("B == 2")), "");
  m.StepBudget = 12;
  Run();
  EXPECT_EQ(hooks.stopReason, "stop ");
  ASSERT_EQ(Events().size(), 1u);
}

TEST_F(BreakRulesTest, FaultingConditionStopsWithItsMessage) {
  BreakAt(0xE001, Extras("10 / (B - 2) != 0"));
  Run();
  EXPECT_EQ(m.cpu.B, 1);  // true at B = 1
  Run();
  EXPECT_EQ(m.cpu.B, 2);
  EXPECT_EQ(m.cpu.PC, 0xE001);
  EXPECT_NE(hooks.stopReason.find("division par zéro"), std::string::npos) << hooks.stopReason;
  EXPECT_NE(hooks.stopReason.find("condition, colonne 4"), std::string::npos) << hooks.stopReason;
  EXPECT_FALSE(m.StopFlag);  // consumed by the stop, the next run goes on
}

TEST_F(BreakRulesTest, RamBreakpointHonoursItsCondition) {
  BreakAt(0x40, Extras("[cnt] == 5"), 'I');
  Run();
  EXPECT_EQ(CompleteStop(m.Stop, list).text, "Break 0040 I Break    bp");
  EXPECT_EQ(m.Memory[0x40], 5);
  EXPECT_EQ(list.entries()[0].hits, 1u);
}

TEST_F(BreakRulesTest, MalformedExtrasAreRefusedAndNothingChanges) {
  BreakAt(0xE001, Extras("B == 1"));
  const struct {
    BreakExtras extras;
    const char* message;
  } cases[] = {
      {Extras("B =="), "Condition, colonne 5 : valeur attendue"},
      {Extras("nope"), "Condition, colonne 1 : symbole inconnu 'nope'"},
      {Extras("", HitRule::Always, 0, "{B"), "Message, colonne 1 : '}' attendue"},
      {Extras("", HitRule::Nth, 0), "Nombre de passages : au moins 1"},
  };
  for (const auto& c : cases) {
    const std::string error = list.SetExtras(0, c.extras);
    EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
    EXPECT_EQ(list.entries()[0].extras.condition, "B == 1");
  }
  BreakDialog d = FillBreakDialog(list.entries()[0]);
  d.name = "renamed";
  d.address = "E0G1";
  EXPECT_NE(list.Edit(0, d), "");
  d.address = "E003";
  d.rule = HitRule::EveryNth;
  d.count = "x";
  EXPECT_NE(list.Edit(0, d), "");
  EXPECT_EQ(list.entries()[0].name, "bp");
  EXPECT_EQ(list.entries()[0].address, 0xE001);
  EXPECT_EQ(m.tInst[0xE001], 2);
  d.count = "3";
  EXPECT_EQ(list.Edit(0, d), "");
  EXPECT_EQ(m.tInst[0xE001], 0);
  EXPECT_EQ(m.tInst[0xE003], 2);
  EXPECT_EQ(list.entries()[0].extras.rule, HitRule::EveryNth);
}

TEST_F(BreakRulesTest, ListShowsTheExtrasAndTheHitCountUntilReset) {
  BreakAt(0xE001, Extras("B > 1", HitRule::Nth, 3, "v={B}", true));
  list.Append({"p", 0xE003, 'C', 2}, true);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"e001 C Break    bp si B > 1 n°3 log v={B} temporaire",
                                                    "e003 C Break    p"}));
  Run();
  Run();
  EXPECT_EQ(list.Lines()[1], "e003 C Break    p (2 coups)");
  list.ResetHits();
  EXPECT_EQ(list.Lines()[1], "e003 C Break    p");
  EXPECT_EQ(BreakExtrasText(Tbreak{"e", 1, 'C', 2, Extras("", HitRule::EveryNth, 4)}), " tous les 4");
}

TEST_F(BreakRulesTest, StopExpressionStopsWhenItBecomesTrue) {
  ASSERT_EQ(list.SetStopWhen("[cnt] == 3"), "");
  EXPECT_TRUE(m.WatchSet);
  Run();
  EXPECT_EQ(hooks.stopReason, "Arrêt sur expression [cnt] == 3");
  EXPECT_EQ(m.Memory[0x40], 3);
  EXPECT_EQ(m.cpu.PC, 0xE003);  // just after the store
  // Still true at the start of the next run: it must become true again.
  m.StepBudget = 30;
  Run();
  EXPECT_EQ(hooks.stopReason, "stop ");
  // A malformed one is refused and the set one stays.
  EXPECT_EQ(list.SetStopWhen("[cnt] =="), "colonne 9 : valeur attendue (trouvé la fin)");
  EXPECT_EQ(list.StopWhen(), "[cnt] == 3");
  EXPECT_EQ(list.SetStopWhen(""), "");
  EXPECT_FALSE(m.WatchSet);
}

TEST_F(BreakRulesTest, FaultingStopExpressionStopsTheRun) {
  ASSERT_EQ(list.SetStopWhen("B / (B - 4) == 9"), "");
  Run();
  EXPECT_EQ(m.cpu.B, 4);
  EXPECT_EQ(hooks.stopReason, "Arrêt sur expression : colonne 3 : division par zéro");
}

}  // namespace
}  // namespace hc11::test
