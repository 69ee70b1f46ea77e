// Run commands, stop reasons, breakpoints, the step budget and the periodic
// interrupt, on one small program with a nested call.
#include "core/run_engine.h"

#include <functional>
#include <tuple>

#include "core/text_util.h"
#include "tests/core/core_fixture.h"

namespace hc11::test {
namespace {

class EngineHooks : public RecordingHooks {
 public:
  std::uint32_t TickCount() override { return tick += tickStep; }
  void ProcessEvents() override {
    ++events;
    if (onEvents) onEvents();
  }
  void RefreshDuringRun() override { ++refreshes; }
  void RunFinished(Machine& m) override {
    RecordingHooks::RunFinished(m);
    ++finished;
  }
  std::string BreakpointLine(std::uint16_t a) override { return Format("%4.4x C bp", a); }

  std::uint32_t tickStep = 0;
  int events = 0, refreshes = 0, finished = 0;
  std::function<void()> onEvents;
};

// E000 4C        incA
// E001 4C        incA
// E002 8D 04     callr $E008
// E004 5C        incB
// E005 20 F9     jr    $E000
// E008 08        incX          (subroutine)
// E009 8D 02     callr $E00D
// E00B 39        ret
// E00D 08        incX          (nested subroutine)
// E00E 39        ret
class RunEngineTest : public CoreTest {
 protected:
  void SetUp() override {
    m.SetHooks(&eh);
    Place(kCode, {0x4C, 0x4C, 0x8D, 0x04, 0x5C, 0x20, 0xF9, 0x00, 0x08, 0x8D, 0x02, 0x39, 0x00, 0x08, 0x39});
    m.StartPC = kCode;
    m.ResetMachine();
    m.cpu.SP = 0x00FF;
    m.HistoryEnabled = true;  // the history counts the steps of the last command
    // The program loops forever: a broken stop rule must fail the test, not hang it.
    m.StepBudget = 1'000'000;
  }
  std::uint32_t Steps() const { return m.HistoryCount; }

  EngineHooks eh;
};

TEST_F(RunEngineTest, SingleStepExecutesOneInstructionOtherLettersNothing) {
  FakeDevices dev;
  m.SetPeripherals(&dev);
  RunCommand(m, kModeStop, false);
  RunCommand(m, u'z', false);
  EXPECT_EQ(m.cpu.PC, kCode);
  EXPECT_EQ(eh.finished, 0);

  RunCommand(m, kModeStep, false);
  EXPECT_EQ(Steps(), 1u);
  EXPECT_EQ(m.cpu.A, 1);
  EXPECT_EQ(eh.stopReason, "stop ");
  EXPECT_EQ(eh.traceLine.rfind("PC=E001 ", 0), 0u);
  EXPECT_EQ(eh.finished, 1);
  EXPECT_EQ(dev.runs, 1);
  EXPECT_TRUE(m.Idle);
}

TEST_F(RunEngineTest, BreakpointsStopOnArrivalNotOnLeavingOrWriteAnEvent) {
  m.tInst[kCode] = 2;
  m.tInst[0xE004] = 3;
  m.tInst[0xE005] = 1;  // inactive states are ignored
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(m.cpu.PC, kCode);
  EXPECT_EQ(eh.stopReason, "Break e000 C bp");
  EXPECT_EQ(std::tuple(m.cpu.A, m.cpu.B, m.cpu.X), std::tuple(2, 1, 2));
  EXPECT_EQ(Steps(), 10u);
  ASSERT_EQ(eh.trace.size(), 1u);
  EXPECT_EQ(eh.trace[0].substr(0, 5), "e004 ");
  EXPECT_TRUE(eh.trace[0].ends_with("ms e004 C bp")) << eh.trace[0];
}

TEST_F(RunEngineTest, StepOverRunsTheWholeCall) {
  m.cpu.PC = 0xE002;
  RunCommand(m, kModeStepOver, true);
  EXPECT_EQ(m.cpu.PC, 0xE004);
  EXPECT_EQ(m.cpu.X, 2);
  EXPECT_EQ(eh.stopReason, "stop Macro");
  EXPECT_FALSE(m.StepOverArmed);

  // On a plain instruction right after start the old bound (0) stops at once.
  m.RunTarget = 0;
  m.cpu.PC = kCode;
  RunCommand(m, kModeStepOver, true);
  EXPECT_EQ(Steps(), 1u);
  EXPECT_EQ(eh.stopReason, "stop ");
}

TEST_F(RunEngineTest, ArmedStepOverSurvivesABreakpointInsideTheCall) {
  m.cpu.PC = 0xE002;
  m.tInst[0xE00D] = 2;
  RunCommand(m, kModeStepOver, true);
  EXPECT_EQ(eh.stopReason, "Break e00d C bp");
  EXPECT_TRUE(m.StepOverArmed);
  m.tInst[0xE00D] = 0;
  RunCommand(m, kModeRunTo, false);  // RunTarget still holds the return address
  EXPECT_EQ(m.cpu.PC, 0xE004);
  EXPECT_EQ(eh.stopReason, "stop Macro");
  EXPECT_FALSE(m.StepOverArmed);

  m.RunTarget = 0xE001;  // a plain run to a target
  RunCommand(m, kModeRunTo, false);
  EXPECT_EQ(m.cpu.PC, 0xE001);
  EXPECT_EQ(eh.stopReason, "Break F4");
}

// The nested call's return brings SP back to the saved level only: the run
// goes on to the return out of the routine that was active.
TEST_F(RunEngineTest, ReturnUpStopsAtTheReturnOutOfTheActiveRoutine) {
  m.cpu.PC = 0xE002;
  RunCommand(m, kModeStep, false);  // into the subroutine, SP = $FD
  ASSERT_EQ(m.cpu.PC, 0xE008);
  ReturnUpCommand(m);
  EXPECT_EQ(m.SavedSP, 0x00FD);
  EXPECT_EQ(m.cpu.PC, 0xE004);
  EXPECT_EQ(m.cpu.SP, 0x00FF);
  EXPECT_EQ(eh.stopReason, "stop ");
}

TEST_F(RunEngineTest, CoreErrorsStopWithTheirMessage) {
  struct Case {
    const char* name;
    Bytes code;
    std::uint16_t codeEnd;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"refused mode", {0x4C, 0x87, 0x00}, 0xE100, "Erreur code e002 87 stA .dXh"},
      {"running off the end", {0x4C, 0x4C}, 0xE001, "adr>fin E002"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    eh.trace.clear();
    Load(c.code);
    m.CodeEnd = c.codeEnd;
    RunCommand(m, kModeRun, false);
    EXPECT_EQ(eh.stopReason, c.message);
    EXPECT_EQ(eh.stopMessage, c.message);
    EXPECT_FALSE(m.StopFlag);
    ASSERT_EQ(eh.trace.size(), 1u);
    EXPECT_TRUE(eh.trace[0].ends_with("ms Break " + c.message)) << eh.trace[0];
  }
}

TEST_F(RunEngineTest, StepBudgetStopsLikeArret) {
  m.StepBudget = 5;
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(Steps(), 5u);
  EXPECT_EQ(eh.stopReason, "stop ");
  RunCommand(m, kModeRun, false);  // the next command carries on from there
  EXPECT_EQ(m.cpu.X, 2);
  m.StepBudget = 1;
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(Steps(), 1u);
}

TEST_F(RunEngineTest, HostEventsComeEveryRefreshPlusOneStepsAndCanStopTheRun) {
  m.RefreshEvery = 3;
  eh.onEvents = [&] {
    RunCommand(m, kModeRun, false);  // refused: a run is in progress
    m.RunMode = kModeStop;           // "Arret"
  };
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(eh.events, 1);
  EXPECT_EQ(Steps(), 1u + 4u);
  EXPECT_EQ(eh.stopReason, "stop ");
  EXPECT_EQ(eh.finished, 1);
}

TEST_F(RunEngineTest, RedrawsDuringARunAtMostEvery100Ms) {
  m.RefreshEvery = 0;  // a clock check after every step
  eh.tickStep = 50;
  m.StepBudget = 10;
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(eh.events, 9);
  EXPECT_EQ(eh.refreshes, 4);
}

TEST_F(RunEngineTest, PeriodicInterruptOnlyWhileIIsClear) {
  Place(kCode, {0x0E, 0x20, 0xFE});   // cli; jr self
  Place(0xF000, {0x5C, 0x20, 0xFE});  // incB; jr self
  m.TimerVector = 0xF000;
  m.StepBudget = 10001;  // cli, then 10000 counted steps
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(m.IrqCounter, 10000);
  EXPECT_EQ(m.cpu.PC, 0xE001);
  m.StepBudget = 1;
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(m.IrqCounter, 0);
  EXPECT_EQ(m.cpu.B, 1);
  EXPECT_EQ(m.cpu.PC, 0xF001);

  m.ResetMachine();  // I set again
  m.cpu.PC = 0xE001;
  m.StepBudget = 20000;
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(m.IrqCounter, 0);
}

TEST_F(RunEngineTest, HistoryListsTheInterruptEntryAtTheHandler) {
  Place(kCode, {0x0E, 0x20, 0xFE});   // cli; jr self
  Place(0xF000, {0x5C, 0x20, 0xFE});  // incB; jr self
  m.TimerVector = 0xF000;
  m.StepBudget = kIrqPeriod + 1;  // cli, then a full period of counted steps
  RunCommand(m, kModeRun, false);
  const std::uint16_t ccAfterCli = m.cpu.CC;
  EXPECT_EQ(ccAfterCli & FlagI, 0);
  m.StepBudget = 2;
  RunCommand(m, kModeRun, false);
  ASSERT_EQ(m.HistoryCount, 2u);
  // The first step enters the handler: it is listed at the handler's first
  // instruction, before incB runs, with the interrupted program's CC (the
  // entry leaves I alone).
  EXPECT_EQ(m.StepHistory[0].PC, 0xF000);
  EXPECT_EQ(m.StepHistory[0].B, 0);
  EXPECT_EQ(m.StepHistory[0].CC, ccAfterCli);
  EXPECT_EQ(m.StepHistory[1].PC, 0xF001);
  EXPECT_EQ(m.StepHistory[1].B, 1);
  EXPECT_EQ(m.Memory[m.cpu.SP + 8], 0xE0);  // return address E001 stacked
  EXPECT_EQ(m.Memory[m.cpu.SP + 9], 0x01);
}

TEST_F(RunEngineTest, BreakpointAndErrorInTheSameStepLoseNeither) {
  Place(kCode, {0xB7, 0x80, 0x00, 0x4C, 0x20, 0xFE});  // stA $8000 (forbidden); incA; jr self
  m.cpu.PC = kCode;
  m.tInst[0xE003] = 2;
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(m.cpu.PC, 0xE003);
  EXPECT_EQ(eh.stopReason, "Break e003 C bp");
  EXPECT_EQ(eh.stopMessage, "Ram Interdit: 8000");
  ASSERT_EQ(eh.trace.size(), 1u);
  EXPECT_TRUE(eh.trace[0].ends_with("ms Break Ram Interdit: 8000")) << eh.trace[0];
  EXPECT_FALSE(m.StopFlag);

  // The next command starts afresh instead of stopping on the old error.
  m.StepBudget = 5;
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(Steps(), 5u);
  EXPECT_EQ(eh.stopReason, "stop ");
}

}  // namespace
}  // namespace hc11::test
