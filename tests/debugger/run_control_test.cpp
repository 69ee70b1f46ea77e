#include "debugger/run_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace hc11::test {
namespace {

// Records each view call as one word, so the refresh order can be compared.
class RecordingView : public DebuggerView {
 public:
  std::uint32_t TickCount() override { return tick += 60; }
  void ProcessEvents() override {
    ++pumps;
    if (onPump) onPump();
  }
  void ShowSourceAt(std::uint16_t a) override { calls.push_back("source " + std::to_string(a)); }
  void RefreshWatches(bool force) override { calls.push_back(force ? "watches all" : "watches changed"); }
  void ShowLigneX1(std::string_view t) override { calls.push_back("x1 " + std::string(t)); }
  void ShowLigneX2(std::string_view) override { calls.push_back("x2"); }
  void ShowCasBreak(std::string_view t) override { casBreak = t; }
  void ShowRegisters() override { calls.push_back("registers"); }
  void RefreshTracePane() override { calls.push_back("trace"); }
  void RefreshStackView() override { calls.push_back("stack"); }
  void RefreshPanel() override { calls.push_back("panel"); }
  void RunStateChanged(bool running) override { calls.push_back(running ? "running" : "idle"); }

  std::uint32_t tick = 0;
  int pumps = 0;
  std::function<void()> onPump;
  std::vector<std::string> calls;
  std::string casBreak;
};

class RunControlTest : public ::testing::Test {
 protected:
  static constexpr std::uint16_t kCode = 0xE000;

  // Code at $E000 with PC on it and the stack at $00FF.
  void Load(const std::vector<std::uint8_t>& bytes) {
    std::copy(bytes.begin(), bytes.end(), m.Memory.begin() + kCode);
    m.CodeEnd = static_cast<std::uint16_t>(kCode + bytes.size());
    m.cpu.PC = kCode;
    m.cpu.SP = m.StackTop = 0x00FF;
    control.Attach(controller);
  }

  RecordingView view;
  RunControl control{view};
  SilentMessages messages;
  Controller controller{control, messages};
  Machine& m = controller.machine();
};

// clrA; bra * (a loop that never ends by itself)
const std::vector<std::uint8_t> kClrThenLoop = {0x4F, 0x20, 0xFE};

TEST_F(RunControlTest, StepRefreshesTheViewsInTheDebuggersOrder) {
  Load(kClrThenLoop);
  ASSERT_TRUE(control.Step());
  EXPECT_EQ(m.cpu.PC, 0xE001);
  EXPECT_EQ(view.casBreak, "stop ");
  const std::vector<std::string> expected = {"source 57344", "running", "source 57345", "watches all",
                                             "x2",           "x1 ",     "registers",    "trace",
                                             "panel",        "idle"};
  EXPECT_EQ(view.calls, expected);

  // With "Stack" selected the stack view is rebuilt instead of the trace.
  view.calls.clear();
  control.Pane = RightPane::Stack;
  ASSERT_TRUE(control.StepOver());
  EXPECT_EQ(view.calls.at(view.calls.size() - 3), "stack");
}

TEST_F(RunControlTest, DebugOnceIsTakenAwayByTheNextInstructionOnly) {
  Load(kClrThenLoop);
  control.DebugOnce = true;
  ASSERT_FALSE(control.StepBack()) << "nothing recorded: no instruction ran";
  EXPECT_TRUE(control.DebugOnce);
  ASSERT_TRUE(control.Step());
  EXPECT_FALSE(control.DebugOnce);
}

TEST_F(RunControlTest, ArretAndCloseReachARunningLoopThroughTheEventPump) {
  Load(kClrThenLoop);
  m.RefreshEvery = 100;
  bool closeAccepted = true;
  bool nestedRunStarted = true;
  view.onPump = [&] {
    if (view.pumps == 3) {
      nestedRunStarted = control.Run();  // a second run never starts inside the first
      closeAccepted = control.RequestClose();
    }
  };
  ASSERT_TRUE(control.Run());
  EXPECT_FALSE(nestedRunStarted);
  EXPECT_FALSE(closeAccepted);  // refused, and turned into "Arret"
  EXPECT_EQ(view.casBreak, "stop ");
  EXPECT_EQ(view.pumps, 3);
  EXPECT_TRUE(control.RequestClose());  // the second request, after the stop

  // During the run the 100 ms redraw shows the trace line, the changed
  // watches and the panel (the fake clock advances 60 ms per reading).
  EXPECT_NE(std::find(view.calls.begin(), view.calls.end(), "watches changed"), view.calls.end());
}

// The trace pane, when it is the one shown, is redrawn with the 100 ms
// refresh while the program runs, not only once it has stopped.
TEST_F(RunControlTest, TheShownTracePaneFollowsARunningProgram) {
  for (const RightPane pane : {RightPane::Trace, RightPane::Stack}) {
    Load(kClrThenLoop);
    m.RefreshEvery = 100;
    view.calls.clear();
    view.pumps = 0;
    view.onPump = [&] {
      if (view.pumps == 3) control.Stop();
    };
    control.Pane = pane;
    ASSERT_TRUE(control.Run());
    const auto stopped = std::find(view.calls.begin(), view.calls.end(), "source 57345");
    const bool traceDuringRun = std::find(view.calls.begin(), stopped, "trace") != stopped;
    EXPECT_EQ(traceDuringRun, pane == RightPane::Trace);
  }
}

TEST_F(RunControlTest, RunToCursorNeedsALineAndStopsThere) {
  Load(kClrThenLoop);
  EXPECT_FALSE(control.RunToCursor(std::nullopt));
  EXPECT_EQ(m.cpu.PC, kCode);
  EXPECT_TRUE(view.calls.empty());

  ASSERT_TRUE(control.RunToCursor(0xE001));
  EXPECT_EQ(m.cpu.PC, 0xE001);
  EXPECT_EQ(view.casBreak, "Break F4");
}

TEST_F(RunControlTest, ReturnUpRunsUntilTheReturnClimbsBackToTheSavedStack) {
  // jsr $E006; clrA; bra *; at $E006: clrA; rts
  Load({0xBD, 0xE0, 0x06, 0x4F, 0x20, 0xFE, 0x4F, 0x39});
  ASSERT_TRUE(control.Step());  // into the routine
  ASSERT_EQ(m.cpu.PC, 0xE006);
  ASSERT_TRUE(control.ReturnUp());
  EXPECT_EQ(m.cpu.PC, 0xE003);
  EXPECT_EQ(m.cpu.SP, 0x00FF);
}

TEST(RegisterLabelText, NamesTheRegisterFromTheSixthCharacter) {
  CpuState cpu;
  cpu.PC = 0xE012;
  cpu.A = 0x0A;
  cpu.B = 0xFF;
  cpu.X = 0x1234;
  cpu.Y = 0x00AB;
  EXPECT_EQ(RegisterLabelText(cpu, "LabelPC"), "PC=E012");
  EXPECT_EQ(RegisterLabelText(cpu, "LabelA"), "A=0A");
  EXPECT_EQ(RegisterLabelText(cpu, "LabelB"), "B=FF");
  EXPECT_EQ(RegisterLabelText(cpu, "LabelX"), "X=1234");
  EXPECT_EQ(RegisterLabelText(cpu, "LabelY"), "Y=00AB");
  EXPECT_EQ(RegisterLabelText(cpu, "LabelSP"), "");
  EXPECT_EQ(RegisterLabelText(cpu, "Label"), "");
}

}  // namespace
}  // namespace hc11::test
