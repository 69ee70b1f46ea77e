// A long walk back lets the host's event pump run, as a forward run does, and
// stops when the host asks ("Arret", a signal, GDB's 0x03), leaving the
// machine at a moment of the record.
#include <gtest/gtest.h>

#include <string>

#include "core/run_engine.h"
#include "debugger/session.h"
#include "reverse/sim_state.h"
#include "reverse/time_travel.h"
#include "tests/support/recording.h"

namespace hc11::test {
namespace {

// Presses "Arret" at the pump's `stopAt`-th call once armed, and notes
// whether the machine looked busy at every call.
class StoppingHooks : public RecordingHooks {
 public:
  void ProcessEvents() override {
    ++calls;
    if (machine->Idle) sawIdle = true;
    if (armed && calls >= stopAt) machine->RunMode = kModeStop;
  }
  Machine* machine = nullptr;
  bool armed = false;
  bool sawIdle = false;
  int calls = 0, stopAt = 1;
};

class ReverseInterrupt : public ::testing::Test {
 protected:
  void SetUp() override {
    hooks.machine = &session.machine();
    session.SetUseWorkspace(false);
    session.Load(std::string(HC11_SOURCE_DIR) + "/examples/loop/loop");
    session.timeTravel().SetRecording(true);
    session.timeTravel().SetLimits({std::size_t{64} << 20, std::uint64_t{1} << 16, std::uint64_t{1} << 26});
  }
  Machine& m() { return session.machine(); }
  void Run(std::uint64_t steps) {
    m().StepBudget = steps;
    RunCommand(m(), kModeRun, false);
  }
  void ArmStop(int atCall) {
    hooks.calls = 0;
    hooks.stopAt = atCall;
    hooks.armed = true;
    hooks.sawIdle = false;
  }
  std::uint64_t Digest() { return StateDigest(m(), &session.board()); }

  StoppingHooks hooks;
  RecordingMessages messages;
  Session session{hooks, messages};
};

TEST_F(ReverseInterrupt, RunBackStopsAtAMomentWithNoBreakAfterIt) {
  Run(1'000'000);
  session.breakpoints().Append({"bp", 0xE003, 'C', 2}, true);  // "ldX #0": only at the start
  TimeTravel& tt = session.timeTravel();
  const std::uint64_t now = m().StepTotal;

  ArmStop(20);
  const BackResult stopped = tt.RunBack();
  EXPECT_EQ(stopped.stop, BackStop::Interrupted);
  EXPECT_FALSE(hooks.sawIdle);  // the host saw a run going on
  EXPECT_TRUE(m().Idle);
  EXPECT_EQ(m().RunMode, kModeStop);
  const std::uint64_t reached = m().StepTotal;
  EXPECT_LT(reached, now);
  EXPECT_GT(reached, tt.EarliestStep() + 1);
  EXPECT_EQ(stopped.stepsBack, now - reached);
  const std::uint64_t there = Digest();
  // No "Break" was skipped, and the moment reached is the record's.
  hooks.armed = false;
  EXPECT_EQ(tt.RunBack().stop, BackStop::Breakpoint);
  EXPECT_EQ(m().cpu.PC, 0xE003);
  EXPECT_EQ(m().StepTotal, tt.EarliestStep() + 1);
  ASSERT_TRUE(tt.GoTo(reached));
  EXPECT_EQ(Digest(), there);
}

TEST_F(ReverseInterrupt, StepBackAndStepBackOverStopAtAMomentOfTheRecord) {
  // One snapshot only: a step back replays the whole run.
  session.timeTravel().SetLimits({std::size_t{64} << 20, std::uint64_t{1} << 26, std::uint64_t{1} << 26});
  Run(500'000);
  TimeTravel& tt = session.timeTravel();
  const std::uint64_t now = m().StepTotal;
  const std::uint64_t end = Digest();
  for (const bool over : {false, true}) {
    ArmStop(2);
    const BackResult r = over ? tt.StepBackOver() : tt.StepBack(1);
    EXPECT_EQ(r.stop, BackStop::Interrupted) << over;
    EXPECT_LT(m().StepTotal, now - 1) << over;  // the replay stopped on its way
    EXPECT_EQ(r.stepsBack, now - m().StepTotal) << over;
    // The moment reached is the record's: going to the end gives the end back.
    hooks.armed = false;
    ASSERT_TRUE(tt.GoTo(now));
    EXPECT_EQ(Digest(), end) << over;
  }
}

}  // namespace
}  // namespace hc11::test
