// The controller as every front end sees it: each command's typed stop and
// its text, and the one notification that follows every command, whoever
// gave it.
#include "debugger/controller.h"

#include <gtest/gtest.h>

#include <vector>

#include "board/panel_tables.h"
#include "core/break_state.h"
#include "tests/support/recording.h"

namespace hc11::test {
namespace {

// E000 ldS #$00FF   E003 ldX #0   E006 clrA
// E007 debut: ldB #3   E009 boucle: addA #1   E00B stA $10   E00D decB
// E00E bne boucle   E010 callr compte   E012 jr debut
// E014 compte: incX   E015 ret
class Listener : public StateListener {
 public:
  void StateChanged(const StateChange& c) override {
    changes.push_back(c.what);
    if (c.stop != nullptr) stops.push_back(*c.stop);
  }
  std::vector<std::uint8_t> changes;
  std::vector<StopEvent> stops;
};

class ControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    c.session().SetUseWorkspace(false);
    c.Load(std::string(HC11_SOURCE_DIR) + "/examples/loop/loop");
    ASSERT_EQ(c.machine().cpu.PC, 0xE000);
    c.machine().StepBudget = 100000;  // a missed stop ends the test
    c.Subscribe(listener);
  }
  void Break(std::uint16_t address, char kind = 'C') {
    c.session().breakpoints().Append({"bp", address, kind, kBreakStop}, true);
  }

  RecordingHooks hooks;
  RecordingMessages messages;
  Controller c{hooks, messages};
  Listener listener;
};

TEST_F(ControllerTest, EachWayACommandEndsIsTypedAndSaidOnce) {
  struct Case {
    const char* what;
    RunKind kind;
    std::uint16_t target;
    StopCause cause;
    std::uint16_t pc;
    const char* text;
  };
  Break(0xE014);
  const Case cases[] = {
      {"a step", RunKind::Step, 0, StopCause::StepDone, 0xE003, "stop "},
      {"run to a line", RunKind::RunTo, 0xE00B, StopCause::TargetReached, 0xE00B, "Break F4"},
      {"a code breakpoint", RunKind::Run, 0, StopCause::Breakpoint, 0xE014, "Break e014 C Break    bp"},
      {"climbing out of compte", RunKind::ReturnUp, 0, StopCause::StepDone, 0xE012, "stop "},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    const StopEvent e = c.Run(k.kind, k.target);
    EXPECT_EQ(e.cause, k.cause);
    EXPECT_EQ(e.pc, k.pc);
    EXPECT_EQ(c.machine().cpu.PC, k.pc);
    EXPECT_EQ(e.text, k.text);
    EXPECT_EQ(c.LastKind(), k.kind);
    ASSERT_FALSE(listener.stops.empty());
    EXPECT_EQ(listener.stops.back().text, k.text);  // the listeners saw the same event
  }
  EXPECT_EQ(c.LastStop().entry, std::nullopt);  // the last stop was no breakpoint

  // A RAM breakpoint names the byte and the access; its entry is the list's.
  c.session().breakpoints().ClearAll();
  Break(0x0010, 'I');
  const StopEvent ram = c.Run(RunKind::Run);
  EXPECT_EQ(ram.cause, StopCause::RamBreakpoint);
  EXPECT_EQ(ram.address, 0x0010);
  EXPECT_EQ(ram.access, 'I');
  EXPECT_EQ(ram.entry, std::optional<std::size_t>(0));
  EXPECT_EQ(ram.text, "Break 0010 I Break    bp");

  // The budget and an error.
  c.session().breakpoints().ClearAll();
  c.machine().StepBudget = 7;
  EXPECT_EQ(c.Run(RunKind::Run).cause, StopCause::BudgetSpent);
  c.machine().Memory[c.machine().cpu.PC] = 0x41;  // no instruction has this opcode
  const StopEvent error = c.Run(RunKind::Run);
  EXPECT_EQ(error.cause, StopCause::Error);
  EXPECT_EQ(error.error, ErrorKind::IllegalInstruction);
  EXPECT_EQ(error.text, error.message);
  EXPECT_FALSE(error.message.empty());
}

TEST_F(ControllerTest, GoingBackIsACommandLikeAnyOtherAndEveryListenerHearsIt) {
  EXPECT_EQ(c.StepBack().cause, StopCause::NothingRecorded);
  c.session().timeTravel().SetRecording(true);
  for (int i = 0; i < 3; ++i) c.Run(RunKind::Step);
  listener.changes.clear();
  const StopEvent back = c.StepBack();
  EXPECT_EQ(back.cause, StopCause::ReplayEnd);
  EXPECT_TRUE(back.back);
  EXPECT_EQ(back.stepsBack, 1u);
  EXPECT_EQ(back.text, "stop arrière");
  EXPECT_EQ(c.machine().cpu.PC, 0xE006);
  // A second listener (a window beside a GDB client) hears it too.
  Listener window;
  c.Subscribe(window);
  EXPECT_EQ(c.RunBack().cause, StopCause::RecordStart);
  ASSERT_EQ(window.stops.size(), 1u);
  EXPECT_EQ(window.stops[0].text, "début enregistrement");
  ASSERT_FALSE(listener.changes.empty());
  EXPECT_TRUE(listener.changes.back() & ChangeRegisters);
  c.Unsubscribe(window);
}

TEST_F(ControllerTest, EditsAndPanelInputsAreToldWithWhatChanged) {
  c.SetRegister(CpuRegister::D, 0x1234);
  EXPECT_EQ(c.machine().cpu.A, 0x12);
  EXPECT_EQ(c.machine().cpu.B, 0x34);
  const std::uint8_t bytes[] = {0xAA, 0x55};
  c.WriteMemory(0x0040, bytes);
  EXPECT_EQ(c.machine().Memory[0x41], 0x55);
  c.Press({PanelAction::SignalLevel, 300});  // kept within 0..255
  EXPECT_EQ(c.session().board().NiveauSignal(), 255);
  EXPECT_EQ(listener.changes, (std::vector<std::uint8_t>{ChangeRegisters, ChangeMemory, ChangeBoard}));
  // A run in progress refuses another command instead of nesting it.
  c.machine().Idle = false;
  EXPECT_EQ(c.Run(RunKind::Run).cause, StopCause::None);
  EXPECT_EQ(c.StepBack().cause, StopCause::None);
  c.machine().Idle = true;
}

// The window's run control may be made before its controller or after it,
// and a listener may go during a session: neither order leaves a dangling
// subscription (the sanitizer run catches one).
TEST(ControllerLifetime, ListenerAndControllerMayGoInEitherOrder) {
  RecordingHooks hooks;
  RecordingMessages messages;
  Listener outlives;
  {
    Controller c(hooks, messages);
    c.Subscribe(outlives);
    {
      Listener brief;
      c.Subscribe(brief);
    }
    c.SetRegister(CpuRegister::A, 1);  // `brief` is gone: only `outlives` hears it
    EXPECT_EQ(outlives.changes.size(), 1u);
  }
  Controller other(hooks, messages);
  other.Subscribe(outlives);  // after its first controller went
  other.SetRegister(CpuRegister::A, 2);
  EXPECT_EQ(outlives.changes.size(), 2u);
}

}  // namespace
}  // namespace hc11::test
