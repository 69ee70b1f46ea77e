// Going back in exact mode: the demonstration firmware with its own timer,
// serial commands arriving at the line's pace and keys on the A/D inputs; a
// moment reached backwards equals the same moment reached by a fresh run,
// and a breakpoint on the tick's handler stops there both ways.
#include <gtest/gtest.h>

#include "debugger/session.h"
#include "reverse/time_travel.h"
#include "tests/reverse/reverse_rig.h"
#include "tests/support/recording.h"

namespace hc11::test {
namespace {

constexpr std::uint16_t kTickHandler = 0xE5EC;  // isr_tick, read from the OC1 vector below

struct ExactRig {
  explicit ExactRig(bool record) {
    session.SetUseWorkspace(false);
    session.settings().marks.Set("ProcesseurExact", true);
    session.Load(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo");
    session.machine().RefreshEvery = 4999;
    if (record) {
      session.timeTravel().SetRecording(true);
      session.timeTravel().SetLimits({std::size_t{128} << 20, 20000, 1 << 22});
    }
  }
  Machine& m() { return session.machine(); }
  RecordingHooks host;
  RecordingMessages messages;
  Session session{host, messages};
};

std::vector<TimedInput> Inputs() {
  return {
      {40000, [](Board& b) { b.PressKey(9); }},
      {90000, [](Board& b) { b.ReleaseKey(9); }},
      {120000, [](Board& b) { b.PressCommand(BoardCommand::LecE2P); }},
      {150000, [](Board& b) { b.PressCommand(BoardCommand::EcrRam); }},
      {151000, [](Board& b) { b.PressCommand(BoardCommand::SauvCfg); }},  // while the last still arrives
      {260000, [](Board& b) { b.SetNiveauSignal(90); }},
  };
}

TEST(ExactReverse, StepBackEqualsAFreshRun) {
  for (const std::uint64_t back : {1u, 777u, 60000u, 150000u}) {
    SCOPED_TRACE(back);
    ExactRig a(true);
    ASSERT_TRUE(a.m().Exact);
    DriveTo(a.m(), a.session.board(), Inputs(), 320000);
    const BackResult result = a.session.timeTravel().StepBack(back);
    ASSERT_EQ(result.stop, BackStop::Stepped);

    ExactRig b(false);
    DriveTo(b.m(), b.session.board(), Inputs(), a.m().StepTotal);
    EXPECT_EQ(Moment(a.m(), a.session.board()), Moment(b.m(), b.session.board()));
    EXPECT_EQ(a.session.board().Memo1, b.session.board().Memo1);
  }
}

TEST(ExactReverse, ABreakOnTheTickHandlerStopsThereForwardAndBack) {
  ExactRig a(true);
  ASSERT_EQ(a.m().MemRead16(0xFFE8), kTickHandler);
  a.session.breakpoints().Append({"tick", kTickHandler, 'C', 2}, true);
  std::vector<std::int64_t> cycles;
  for (int k = 0; k < 3; ++k) {
    a.m().StepBudget = 200000;
    RunCommand(a.m(), kModeRun, false);
    ASSERT_EQ(a.m().Stop.cause, StopCause::Breakpoint);
    ASSERT_EQ(a.m().cpu.PC, kTickHandler);
    cycles.push_back(a.m().CycleCount);
  }
  // TICK_PERIOD, within the latency of the instruction the compare came in.
  EXPECT_NEAR(static_cast<double>(cycles[2] - cycles[1]), 20000.0, 8.0);
  const std::uint64_t third = a.m().StepTotal;
  a.m().StepBudget = 5000;
  RunCommand(a.m(), kModeRun, false);  // into the main loop again
  const BackResult back = a.session.timeTravel().RunBack();
  EXPECT_EQ(back.stop, BackStop::Breakpoint);
  EXPECT_EQ(a.m().cpu.PC, kTickHandler);
  EXPECT_EQ(a.m().StepTotal, third);
  EXPECT_EQ(a.m().CycleCount, cycles[2]);
}

}  // namespace
}  // namespace hc11::test
