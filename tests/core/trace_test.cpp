#include "core/trace.h"

#include "core/run_engine.h"
#include "tests/core/core_fixture.h"

namespace hc11::test {
namespace {

using TraceTest = CoreTest;

TEST_F(TraceTest, StatusLineLayout) {
  m.cpu = CpuState{0x01, 0x02, 0x1234, 0, 0x00FF, 0x0E00, 0xD0};
  m.CycleCount = 3580 + 100;
  m.CycleBase = 100;
  EXPECT_EQ(FormatTraceLine(m), "PC= E00 CC=D0 X=1234 A=01 B=02 Sp=00ff  cycle=3580 T=   4.000ms  ");
  ResetStopwatch(m);
  EXPECT_NE(FormatTraceLine(m).find(" cycle=0 T=   0.000ms"), std::string::npos);
}

TEST_F(TraceTest, EventLinesShowTheTimeSinceThePreviousEvent) {
  m.cpu.PC = 0xE000;
  m.CycleCount = 10;
  m.EventTrace("first");
  m.CycleCount += 895;
  m.cpu.PC = 0xABCD;
  m.EventTrace("uart 41");
  ASSERT_EQ(hooks.trace.size(), 2u);
  EXPECT_EQ(hooks.trace[0], "e000 T=   0.011ms first");
  EXPECT_EQ(hooks.trace[1], "abcd T=   1.000ms uart 41");
  m.ResetMachine();  // forgets the previous event
  m.CycleCount = 895;
  m.EventTrace("");
  EXPECT_EQ(hooks.trace[2].substr(4), " T=   1.000ms ");
}

// The count used to wrap negative past 2^31 (seconds of running at full speed).
TEST_F(TraceTest, CountsGoOnPastTwoToThe31) {
  Load({0x4C, 0x20, 0xFD});  // incA; jr back
  m.CycleCount = 2147483646;
  m.EventTrace("before");
  m.StepBudget = 4;  // incA, jr, incA, jr: four steps and two transfers
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(m.CycleCount, 2147483652);
  EXPECT_EQ(hooks.traceLine, "PC=E000 CC=00 X=0000 A=02 B=00 Sp=0000  cycle=2147483652 T=2399423.075ms  ");
  m.EventTrace("after");
  EXPECT_EQ(hooks.trace.back(), "e000 T=   0.007ms after");
}

TEST_F(TraceTest, HistoryListsTheLast1024StepsOldestFirst) {
  struct ListHooks : RecordingHooks {
    int shown = 0;
    void ShowTraceList() override { ++shown; }
  } lh;
  m.SetHooks(&lh);
  Load({0x4C, 0x20, 0xFD});  // incA; jr back
  m.HistoryEnabled = true;
  m.StepBudget = 1500;
  m.cpu.CC = 0x10;
  RunCommand(m, kModeRun, false);
  lh.trace.clear();
  ListHistory(m);
  ASSERT_EQ(lh.trace.size(), 1024u);
  // Step 477 (1500 - 1024 + 1) is an incA with A = 238 before it.
  EXPECT_EQ(lh.trace.front(), "e000 A=ee B=00 CC=18 ");
  EXPECT_EQ(lh.trace.back(), "e001 A=ee B=00 CC=18 ");
  EXPECT_EQ(lh.shown, 1);
}

}  // namespace
}  // namespace hc11::test
