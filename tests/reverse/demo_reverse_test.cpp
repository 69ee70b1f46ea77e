// The demonstration firmware with keys held and released, serial commands,
// the periodic interrupt, breakpoints and inputs given while it runs: a
// moment reached backwards equals the same moment reached by a fresh run.
#include <gtest/gtest.h>

#include "debugger/run_control.h"
#include "debugger/session.h"
#include "reverse/time_travel.h"
#include "tests/reverse/reverse_rig.h"
#include "tests/support/recording.h"

namespace hc11::test {
namespace {

constexpr std::uint16_t kStoreLastTick = 0xE069;  // once per tick in the main loop
constexpr std::uint16_t kTicks = 0x0000;          // counted by the interrupt routine

class DemoHost : public RecordingHooks {
 public:
  void ProcessEvents() override {
    if (onEvents) onEvents();
  }
  std::function<void()> onEvents;
};

struct DemoOptions {
  bool breaks = false;
  bool midRun = false;
};

struct DemoRig {
  DemoRig(bool record, const RecordLimits& limits, DemoOptions o) {
    session.SetUseWorkspace(false);
    session.Load(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo");
    session.machine().RefreshEvery = 4999;
    if (record) {
      session.timeTravel().SetRecording(true);
      session.timeTravel().SetLimits(limits);
    }
    if (o.breaks) {
      session.breakpoints().Append({"tick", kStoreLastTick, 'C', 2}, true);
      session.breakpoints().Append({"ticks", kTicks, 'm', 2}, true);
    }
    // While it runs, the user holds and releases keys of the panel.
    if (o.midRun) host.onEvents = [this] { MidRun(); };
  }
  void MidRun() {
    Machine& m = session.machine();
    if (m.StepTotal < nextMid) return;
    nextMid = m.StepTotal + 23456;
    held = !held;
    held ? session.board().PressKey(key) : session.board().ReleaseKey(key);
    if (!held) key = (key + 5) % 12;
  }
  Machine& m() { return session.machine(); }

  DemoHost host;
  RecordingMessages messages;
  Session session{host, messages};
  std::uint64_t nextMid = 30000;
  bool held = false;
  std::size_t key = 0;
};

// Keys and the five command buttons between runs.
std::vector<TimedInput> PanelInputs() {
  return {
      {40000, [](Board& b) { b.PressKey(9); }},  // "Menu"
      {90000, [](Board& b) { b.ReleaseKey(9); }},
      {120000, [](Board& b) { b.PressCommand(BoardCommand::LecE2P); }},
      {150000, [](Board& b) { b.PressCommand(BoardCommand::EcrE2P); }},
      {180000, [](Board& b) { b.SetCbOC(true); }},
      {200000, [](Board& b) { b.PressCommand(BoardCommand::EcrRam); }},
      {230000, [](Board& b) { b.SetOcFreq(145800); }},
      {260000, [](Board& b) { b.PressCommand(BoardCommand::SauvCfg); }},
      {300000, [](Board& b) { b.PressKey(3); }},  // "PTT"
      {330000, [](Board& b) { b.ReleaseKey(3); }},
      {360000, [](Board& b) { b.PressCommand(BoardCommand::RestCfg); }},
  };
}

TEST(DemoReverse, StepBackEqualsAFreshRun) {
  struct Case {
    const char* name;
    std::uint64_t steps, back;
    RecordLimits limits;
    DemoOptions options;
  };
  const RecordLimits dense{std::size_t{128} << 20, 20000, 1 << 22};
  const RecordLimits tiny{4 * sizeof(SimState), 9000, 40000};
  const Case cases[] = {
      {"one step", 400000, 1, {}, {}},
      {"across inputs", 400000, 170000, dense, {}},
      {"breakpoints", 400000, 65432, dense, {true, false}},
      {"while running", 400000, 123457, {}, {false, true}},
      {"while running, near", 400000, 3001, dense, {false, true}},
      {"all, thinned", 400000, 33333, tiny, {true, true}},
      {"past the reach", 300000, 250000, tiny, {true, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DemoRig a(true, c.limits, c.options);
    DriveTo(a.m(), a.session.board(), PanelInputs(), c.steps);
    const BackResult back = a.session.timeTravel().StepBack(c.back);
    ASSERT_NE(back.stop, BackStop::None);
    EXPECT_EQ(back.stop == BackStop::Stepped, back.stepsBack == c.back);

    DemoRig b(false, {}, c.options);
    DriveTo(b.m(), b.session.board(), PanelInputs(), a.m().StepTotal);
    EXPECT_EQ(Moment(a.m(), a.session.board()), Moment(b.m(), b.session.board()));
    EXPECT_EQ(a.session.board().Memo1, b.session.board().Memo1);
  }
}

// The window's commands: each refreshes the views as after a run and says
// how far back the record reaches.
class RecordingView : public DebuggerView {
 public:
  void ShowCasBreak(std::string_view text) override { casBreak = text; }
  void ShowLigneX2(std::string_view text) override { ligneX2 = text; }
  void ShowReach(std::string_view text) override { reach = text; }
  void ShowRegisters() override { ++registerRefreshes; }
  void RefreshPanel() override { ++panelRefreshes; }
  std::string casBreak, ligneX2, reach;
  int registerRefreshes = 0, panelRefreshes = 0;
};

TEST(DemoReverse, WindowCommandsRefreshEveryView) {
  RecordingView view;
  RunControl run(view);
  RecordingMessages messages;
  Controller controller(run, messages);
  Session& session = controller.session();
  session.SetUseWorkspace(false);
  controller.Load(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo");
  run.Attach(controller);
  EXPECT_FALSE(run.StepBack());  // nothing recorded yet
  session.timeTravel().SetRecording(true);
  session.breakpoints().Append({"tick", kStoreLastTick, 'C', 2}, true);
  ASSERT_TRUE(run.Run());
  ASSERT_TRUE(run.Run());
  EXPECT_EQ(view.reach, "retour possible jusqu'à cycle 0");
  const std::string second = view.ligneX2;

  ASSERT_TRUE(run.StepBack());
  EXPECT_EQ(view.casBreak, "stop arrière");
  EXPECT_NE(view.ligneX2, second);
  ASSERT_TRUE(run.RunBack());
  EXPECT_EQ(view.casBreak, "Break e069 C Break    tick");
  EXPECT_EQ(session.machine().cpu.PC, kStoreLastTick);
  const int refreshes = view.registerRefreshes;
  ASSERT_TRUE(run.StepBackOver());
  EXPECT_EQ(view.registerRefreshes, refreshes + 1);
  ASSERT_TRUE(run.RunBack());
  EXPECT_EQ(view.casBreak, "début enregistrement");
  // Forward again: the same first stop as the first run.
  ASSERT_TRUE(run.Run());
  EXPECT_EQ(session.machine().cpu.PC, kStoreLastTick);
}

}  // namespace
}  // namespace hc11::test
