// Stops at the periodic interrupt's handler: a breakpoint or a run-to target
// on the handler's first instruction stops there, before it runs, and the
// divided step keeps the counts and the time of an undivided one.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/run_engine.h"
#include "core/text_util.h"
#include "tests/core/core_fixture.h"

namespace hc11::test {
namespace {

constexpr std::uint16_t kCode = 0xE000;
constexpr std::uint16_t kHandler = 0xF000;

class TraceHooks : public RecordingHooks {
 public:
  void TraceLineAdded(const std::string& line) override { trace.push_back(line); }
  std::string BreakpointLine(std::uint16_t a) override { return Format("%4.4x C bp", a); }
  std::vector<std::string> trace;
};

// E000 cli; E001 jr self, and the handler F000 incB; F001 jr self. The
// interrupt is due at the second step of the next command.
struct Rig {
  Rig() {
    auto place = [&](std::uint16_t at, std::vector<std::uint8_t> bytes) {
      std::copy(bytes.begin(), bytes.end(), m.Memory.begin() + at);
    };
    place(kCode, {0x0E, 0x20, 0xFE});
    place(kHandler, {0x5C, 0x20, 0xFE});
    m.CodeEnd = 0xF002;
    m.StartPC = kCode;
    m.ResetMachine();
    m.cpu.SP = 0x00FF;
    m.TimerVector = kHandler;
    m.HistoryEnabled = true;
    m.StepBudget = 1;
    RunCommand(m, kModeStep, false);  // cli
    m.IrqCounter = kIrqPeriod - 1;
    hooks.trace.clear();
  }
  auto Counts() const {
    return std::tuple(m.cpu.PC, m.cpu.B, m.cpu.SP, m.CycleCount, m.IrqCounter, m.StepTotal, m.PrevCycleCount);
  }
  TraceHooks hooks;
  Machine m{&hooks};
};

struct Case {
  const char* name;
  std::uint8_t breakState;  // at the handler
  char16_t mode;
  std::string stopReason;
};

TEST(InterruptStop, AStopAtTheHandlerSeesItsFirstInstructionBeforeItRuns) {
  const std::vector<Case> cases = {
      {"Break", 2, kModeRun, "Break f000 C bp"},
      {"run to the handler", 0, kModeRunTo, "Break F4"},
      {"Break while stepping over", 2, kModeStepOver, "Break f000 C bp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    Machine& m = rig.m;
    m.tInst[kHandler] = c.breakState;
    m.RunTarget = kHandler;
    m.StepBudget = 100;
    RunCommand(m, c.mode, c.mode == kModeStepOver);
    EXPECT_EQ(rig.hooks.stopReason, c.stopReason);
    EXPECT_EQ(m.cpu.PC, kHandler);
    EXPECT_EQ(m.cpu.B, 0) << "the handler's first instruction ran";
    EXPECT_EQ(m.Memory[m.cpu.SP + 8], 0xE0);  // the frame holds the return to E001
    EXPECT_EQ(m.Memory[m.cpu.SP + 9], 0x01);
    EXPECT_EQ(m.HistoryCount, 1u);  // jr only: the entry alone is no step

    // The next command runs that instruction and does not enter again.
    m.tInst[kHandler] = 0;
    m.StepBudget = 1;
    RunCommand(m, kModeRun, false);
    EXPECT_EQ(m.cpu.PC, kHandler + 1);
    EXPECT_EQ(m.cpu.B, 1);

    // Counts, time and interrupt period as two steps run at once.
    Rig plain;
    plain.m.StepBudget = 2;
    RunCommand(plain.m, kModeRun, false);
    EXPECT_EQ(m.cpu.SP, plain.m.cpu.SP);
    EXPECT_EQ(rig.Counts(), plain.Counts());
  }
}

TEST(InterruptStop, ATraceBreakpointAtTheHandlerWritesItsLineAndTheRunGoesOn) {
  Rig rig;
  rig.m.tInst[kHandler] = 3;
  rig.m.StepBudget = 3;
  RunCommand(rig.m, kModeRun, false);
  EXPECT_EQ(rig.hooks.trace.size(), 1u);
  ASSERT_FALSE(rig.hooks.trace.empty());
  EXPECT_NE(rig.hooks.trace[0].find("f000 C bp"), std::string::npos) << rig.hooks.trace[0];
  EXPECT_EQ(rig.hooks.stopReason, "stop ");

  Rig plain;
  plain.m.StepBudget = 3;
  RunCommand(plain.m, kModeRun, false);
  EXPECT_EQ(rig.Counts(), plain.Counts());
  EXPECT_EQ(rig.m.HistoryCount, plain.m.HistoryCount);
}

// A command whose first step is the entry alone still runs its whole budget
// of instructions.
TEST(InterruptStop, TheStepBudgetCountsInstructionsWhenTheFirstStepIsTheEntry) {
  Rig rig, plain;
  rig.m.tInst[kHandler] = 3;
  for (Rig* r : {&rig, &plain}) {
    r->m.StepBudget = 1;
    RunCommand(r->m, kModeRun, false);  // jr: the interrupt is due next
    r->m.StepBudget = 2;
    RunCommand(r->m, kModeRun, false);  // incB, jr
  }
  EXPECT_EQ(rig.hooks.trace.size(), 1u);
  EXPECT_EQ(rig.Counts(), plain.Counts());
  EXPECT_EQ(rig.m.HistoryCount, 2u);
}

// Without a stop waiting there the entry and the handler's first
// instruction stay one step, and a single step still runs both.
TEST(InterruptStop, WithoutAStopAtTheHandlerTheEntryAndItsFirstInstructionAreOneStep) {
  Rig rig;
  rig.m.StepBudget = 1;
  RunCommand(rig.m, kModeRun, false);  // jr
  RunCommand(rig.m, kModeStep, false);
  EXPECT_EQ(rig.m.cpu.PC, kHandler + 1);
  EXPECT_EQ(rig.m.cpu.B, 1);
  EXPECT_EQ(rig.m.IrqCounter, 0);
}

// A snapshot of the moment a run stopped at the handler, as the time-travel
// record takes it, leads where the run itself went.
TEST(InterruptStop, TheEntryTakenAheadMatchesTheStoppedRun) {
  Rig stopped;
  stopped.m.tInst[kHandler] = 2;
  stopped.m.StepBudget = 100;
  RunCommand(stopped.m, kModeRun, false);

  Rig ahead;
  ahead.m.StepBudget = 1;
  RunCommand(ahead.m, kModeRun, false);  // jr: the interrupt is due next
  EXPECT_TRUE(InterruptDueNext(ahead.m));
  EXPECT_TRUE(TakeDueInterruptAhead(ahead.m));
  EXPECT_FALSE(TakeDueInterruptAhead(ahead.m));
  EXPECT_EQ(ahead.Counts(), stopped.Counts());
}

}  // namespace
}  // namespace hc11::test
