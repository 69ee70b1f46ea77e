// Coverage and profile counts are part of a moment: going back shows the
// counts a fresh run to that moment has, and going forward again counts the
// stretch once, not twice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debugger/coverage_view.h"
#include "debugger/session.h"
#include "reverse/time_travel.h"
#include "tests/reverse/reverse_rig.h"
#include "tests/support/recording.h"

namespace hc11::test {
namespace {

constexpr std::uint16_t kStoreLastTick = 0xE069;  // once per tick in the main loop

// The demo with counting on, as the window has it.
struct CountingDemo {
  CountingDemo(bool record, const RecordLimits& limits) {
    session.SetUseWorkspace(false);
    session.Load(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo");
    session.machine().RefreshEvery = 4999;
    session.profiler().Enable(session.machine(), true);
    if (record) {
      session.timeTravel().SetRecording(true);
      session.timeTravel().SetLimits(limits);
    }
  }
  Machine& m() { return session.machine(); }
  void Drive(std::uint64_t until) { DriveTo(m(), session.board(), inputs, next, until); }

  // Everything the views read: the profile lines and every address's count,
  // cycles and branch ways.
  std::vector<std::string> Profile() { return ProfileLines(session.profiler().Table(m().CycleCount)); }
  std::vector<std::uint64_t> Cells() {
    const ExecCounters& c = session.profiler().counters();
    std::vector<std::uint64_t> cells;
    for (std::uint32_t a = 0; a < 65536; ++a) {
      const auto address = static_cast<std::uint16_t>(a);
      if (c.At(address).count == 0 && c.At(address).extra == 0) continue;
      cells.insert(cells.end(), {a, c.At(address).count, c.At(address).extra, c.BranchAt(address).taken});
    }
    return cells;
  }

  RecordingHooks hooks;
  RecordingMessages messages;
  Session session{hooks, messages};
  std::vector<TimedInput> inputs = {
      {40000, [](Board& b) { b.PressKey(9); }},  // "Menu"
      {90000, [](Board& b) { b.ReleaseKey(9); }},
      {120000, [](Board& b) { b.PressCommand(BoardCommand::LecE2P); }},
  };
  std::size_t next = 0;
};

void ExpectSameCounts(CountingDemo& a, CountingDemo& b) {
  ASSERT_EQ(a.m().StepTotal, b.m().StepTotal);
  EXPECT_EQ(a.Profile(), b.Profile());
  EXPECT_TRUE(a.Cells() == b.Cells()) << "per-address counts differ";
}

TEST(CountsBack, StepBackShowsTheCountsOfAFreshRunToTheMoment) {
  struct Case {
    const char* name;
    std::uint64_t steps, back;
    RecordLimits limits;
  };
  const RecordLimits dense{std::size_t{128} << 20, 20000, 1 << 22};
  const RecordLimits tiny{4 * sizeof(SimState), 9000, 40000};  // thinned, the reach shrinks
  const Case cases[] = {
      {"one step", 300000, 1, {}},
      {"a third of the run", 300000, 100000, {}},
      {"across inputs, dense snapshots", 300000, 170001, dense},
      {"nearly to the start", 300000, 299000, dense},
      {"thinned record", 300000, 33333, tiny},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CountingDemo a(true, c.limits);
    a.Drive(c.steps);
    ASSERT_NE(a.session.timeTravel().StepBack(c.back).stop, BackStop::None);
    CountingDemo b(false, {});
    b.Drive(a.m().StepTotal);
    ExpectSameCounts(a, b);
  }
}

// "Exécuter en arrière", then forward to the same breakpoint: the counts of
// the first arrival there, however often the stretch is run again.
TEST(CountsBack, RunBackThenForwardAgainCountsTheStretchOnce) {
  CountingDemo a(true, {std::size_t{128} << 20, 20000, 1 << 22});
  a.session.breakpoints().Append({"tick", kStoreLastTick, 'C', 2}, true);
  a.Drive(150000);
  a.m().StepBudget = 0;
  RunCommand(a.m(), u'x', false);  // to the next tick
  ASSERT_EQ(a.m().cpu.PC, kStoreLastTick);
  const std::uint64_t stop = a.m().StepTotal;
  const std::vector<std::string> profile = a.Profile();
  const std::vector<std::uint64_t> cells = a.Cells();
  for (int pass = 0; pass < 3; ++pass) {
    SCOPED_TRACE(pass);
    const BackResult back = a.session.timeTravel().RunBack();
    ASSERT_EQ(back.stop, BackStop::Breakpoint);
    CountingDemo fresh(false, {});
    fresh.Drive(a.m().StepTotal);
    ExpectSameCounts(a, fresh);
    RunCommand(a.m(), u'x', false);
    ASSERT_EQ(a.m().StepTotal, stop);
    EXPECT_EQ(a.Profile(), profile);
    EXPECT_TRUE(a.Cells() == cells);
  }
}

// "Remise à zéro" while stopped starts the counts of the moments after it
// afresh, also when they are reached again backwards.
TEST(CountsBack, ResetWhileStoppedHoldsForTheMomentsAfterIt) {
  CountingDemo a(true, {});
  a.Drive(60000);
  ResetCounts(a.session);
  a.Drive(90000);
  ASSERT_EQ(a.session.timeTravel().StepBack(1000).stop, BackStop::Stepped);

  CountingDemo b(false, {});
  b.Drive(60000);
  ResetCounts(b.session);
  b.Drive(89000);
  ExpectSameCounts(a, b);
}

}  // namespace
}  // namespace hc11::test
