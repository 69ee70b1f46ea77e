// Going back honours what the breakpoint adds: a condition stops the walk back
// only where it holds, and a logpoint never stops it.
#include <gtest/gtest.h>

#include <string>

#include "core/run_engine.h"
#include "debugger/session.h"
#include "reverse/time_travel.h"
#include "tests/support/recording.h"

namespace hc11::test {
namespace {

class ConditionsBack : public ::testing::Test {
 protected:
  void SetUp() override {
    session.SetUseWorkspace(false);
    session.Load(std::string(HC11_SOURCE_DIR) + "/examples/loop/loop");
    session.timeTravel().SetRecording(true);
    // The loop: A counts up once per pass through "boucle" ($E009).
    m().StepBudget = 1000;
    RunCommand(m(), kModeRun, false);
    ASSERT_GT(m().cpu.A, 20);
  }
  Machine& m() { return session.machine(); }
  void BreakAtBoucle(BreakExtras extras) {
    BreakpointList& list = session.breakpoints();
    list.Append({"boucle", 0xE009, 'C', 2}, true);
    ASSERT_EQ(list.SetExtras(list.entries().size() - 1, extras), "");
  }

  RecordingHooks hooks;
  RecordingMessages messages;
  Session session{hooks, messages};
};

TEST_F(ConditionsBack, RunBackStopsOnlyWhereTheConditionHolds) {
  BreakAtBoucle(BreakExtras{"A == 7 || A == 3", HitRule::Always, 0, {}, false});
  TimeTravel& tt = session.timeTravel();
  for (const int a : {7, 3}) {
    SCOPED_TRACE(a);
    const BackResult r = tt.RunBack();
    ASSERT_EQ(r.stop, BackStop::Breakpoint);
    EXPECT_EQ(m().cpu.PC, 0xE009);
    EXPECT_EQ(m().cpu.A, a);
  }
  EXPECT_EQ(tt.RunBack().stop, BackStop::StartOfRecord);
}

TEST_F(ConditionsBack, RunBackWalksPastALogpoint) {
  BreakAtBoucle(BreakExtras{{}, HitRule::Always, 0, "A={A}", false});
  const BackResult r = session.timeTravel().RunBack();
  EXPECT_EQ(r.stop, BackStop::StartOfRecord);
  EXPECT_EQ(m().cpu.PC, 0xE000);
}

}  // namespace
}  // namespace hc11::test
