// Sessions of the demo firmware recorded and replayed: the same build gives
// "same", a build with another constant in a reply is caught at that output
// with both values, and a build whose code moved still gets the inputs at the
// same times.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "board/panel_tables.h"
#include "core/text_util.h"
#include "recording/recorder.h"
#include "recording/replayer.h"
#include "tests/support/recording.h"
#include "tests/support/test_files.h"
#include "tools/lstgen/generate.h"

namespace hc11::test {
namespace {

const std::string kDemo = std::string(HC11_SOURCE_DIR) + "/examples/demo/demo";

struct Rig {
  explicit Rig(const std::string& program = kDemo) {
    c.session().SetUseWorkspace(false);
    c.Load(program);
  }
  // One run command of `steps` steps.
  void RunSteps(std::uint64_t steps) {
    c.machine().StepBudget = steps;
    c.Run(RunKind::Run);
    c.machine().StepBudget = 0;
  }
  RecordingHooks hooks;
  RecordingMessages messages;
  Controller c{hooks, messages};
};

void PressCommand(Rig& rig, BoardCommand command) {
  rig.c.Press({PanelAction::Command, static_cast<int>(command)});
}

// A seeded session: keys held and released, command buttons and serial
// bytes, between runs of random length.
SessionFile RandomSession(unsigned seed, const std::string& program = kDemo) {
  Rig rig(program);
  Recorder recorder(rig.c);
  recorder.Start();
  std::mt19937 random(seed);
  for (int k = 0; k < 12; ++k) {
    rig.RunSteps(2000 + random() % 60000);
    switch (random() % 4) {
      case 0: {
        const int key = static_cast<int>(random() % kKeypad.size());
        rig.c.Press({PanelAction::PressKey, key});
        rig.RunSteps(1000 + random() % 30000);
        rig.c.Press({PanelAction::ReleaseKey, key});
        break;
      }
      case 1:
        PressCommand(rig, kCommandButtons[random() % kCommandButtons.size()].command);
        break;
      case 2: {
        std::vector<std::uint8_t> bytes(1 + random() % 6);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        rig.c.SendSerial(bytes);
        break;
      }
      default:
        rig.c.Press({PanelAction::SignalLevel, static_cast<int>(random() % 256)});
        break;
    }
  }
  rig.RunSteps(50000);
  return recorder.Stop();
}

ReplayResult ReplayOn(const SessionFile& s, const std::string& program = kDemo, ReplayOptions o = {}) {
  Rig rig(program);
  return Replay(rig.c, s, o);
}

TEST(Replay, GeneratedSessionsReplayTheSameOnTheirBuild) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    const SessionFile s = RandomSession(seed);
    ASSERT_GT(s.outputs.size(), 10u) << "seed " << seed << ": the demo shows and says things";
    // Through the file, as the CLI replays it.
    const SessionReadResult read = ParseSession(FormatSession(s));
    ASSERT_TRUE(read.ok()) << read.message;
    const ReplayResult r = ReplayOn(*read.session);
    EXPECT_TRUE(r.same()) << "seed " << seed << "\n" << ReplayText(r);
    EXPECT_EQ(r.outputs, s.outputs.size());
    EXPECT_EQ(ReplayText(r), "same: " + std::to_string(s.outputs.size()) + " outputs\n");
  }
}

TEST(Replay, ASameReplayEndsAtTheSessionsEnd) {
  for (unsigned seed = 31; seed <= 33; ++seed) {
    const SessionFile s = RandomSession(seed);
    Rig rig;
    ASSERT_TRUE(Replay(rig.c, s).same()) << "seed " << seed;
    // The wait for missing outputs is not spent once they all came.
    EXPECT_GE(rig.c.machine().CycleCount, s.end) << "seed " << seed;
    EXPECT_LT(rig.c.machine().CycleCount, s.end + 64) << "seed " << seed;
  }
}

// The user's "Arrêt" during one of the replay's runs ends the replay there,
// not only that run; the replay's own stops at the inputs' times do not.
TEST(Replay, TheUsersStopEndsTheReplayWithTheOutputsMatchedSoFar) {
  struct StoppingHooks : RecordingHooks {
    void ProcessEvents() override {
      if (++calls == stopAt && controller != nullptr) controller->Stop();
    }
    int calls = 0;
    int stopAt = 0;
    Controller* controller = nullptr;
  };
  const SessionFile s = RandomSession(5);
  for (const int stopAt : {0, 40}) {
    SCOPED_TRACE(stopAt == 0 ? "never stopped" : "stopped");
    StoppingHooks hooks;
    hooks.stopAt = stopAt;
    RecordingMessages messages;
    Controller c{hooks, messages};
    hooks.controller = &c;
    c.session().SetUseWorkspace(false);
    c.Load(kDemo);
    const ReplayResult r = Replay(c, s);
    if (stopAt == 0) {
      EXPECT_TRUE(r.same()) << ReplayText(r);
      continue;
    }
    ASSERT_GE(hooks.calls, stopAt) << "the session is long enough to be stopped";
    EXPECT_TRUE(r.interrupted()) << ReplayText(r);
    EXPECT_LT(c.machine().CycleCount, s.end);
    EXPECT_LE(r.outputs, s.outputs.size());
    EXPECT_EQ(ReplayText(r).rfind(Format("interrupted: %zu outputs matched\n", r.outputs), 0), 0u)
        << ReplayText(r);
  }
}

TEST(Replay, ExactTimingOnTheSameBuildIsWithinAnyTolerance) {
  const SessionFile s = RandomSession(11);
  const ReplayResult r = ReplayOn(s, kDemo, {0.001});
  EXPECT_TRUE(r.same()) << ReplayText(r);
}

// The demo's source with `from` replaced by `to` (once), assembled in `dir`.
std::string PatchedDemo(const std::filesystem::path& dir, const std::string& from, const std::string& to) {
  std::string source = Slurp(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo.asm");
  const std::size_t at = source.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  source.replace(at, from.size(), to);
  const auto asmPath = dir / "demo.asm";
  std::ofstream(asmPath) << source;
  std::ostringstream messages;
  EXPECT_TRUE(lstgen::GenerateFiles(asmPath.string(), (dir / "demo").string(), messages)) << messages.str();
  return (dir / "demo").string();
}

// A session that writes RAM through the serial command, whose reply is
// "A4 00" on the demo.
SessionFile WriteRamSession() {
  Rig rig;
  Recorder recorder(rig.c);
  recorder.Start();
  rig.RunSteps(30000);
  PressCommand(rig, BoardCommand::EcrRam);
  rig.RunSteps(200000);
  return recorder.Stop();
}

std::size_t IndexOfReply(const SessionFile& s) {
  for (std::size_t i = 0; i + 1 < s.outputs.size(); ++i)
    if (s.outputs[i].kind == BoardOutput::Transmit && s.outputs[i].value == 0xA4 &&
        s.outputs[i + 1].kind == BoardOutput::Transmit)
      return i + 1;
  return s.outputs.size();
}

TEST(Replay, AChangedConstantInAReplyIsFoundAtItsOutputWithBothValues) {
  const SessionFile s = WriteRamSession();
  const std::size_t status = IndexOfReply(s);
  ASSERT_LT(status, s.outputs.size()) << FormatSession(s);
  ASSERT_EQ(s.outputs[status].value, 0x00u);

  const auto dir = FreshTestFolder("replay");
  const std::string patched = PatchedDemo(dir, "reply   CMD_WRRAM,ST_OK", "reply   CMD_WRRAM,$07");
  const ReplayResult r = ReplayOn(s, patched);
  ASSERT_FALSE(r.same());
  EXPECT_EQ(r.index, status);
  EXPECT_EQ(r.outputs, status);
  ASSERT_TRUE(r.recorded && r.produced);
  EXPECT_EQ(OutputText(*r.recorded), "tx 00");
  EXPECT_EQ(OutputText(*r.produced), "tx 07");
  EXPECT_FALSE(r.timing);
  EXPECT_EQ(r.function, "@tx_wait") << "the run stops in the step that transmitted, inside sci_tx";
  ASSERT_FALSE(r.lastInputs.empty());
  EXPECT_EQ(r.lastInputs.back().kind, SessionInputKind::Serial);
  EXPECT_LE(r.lastInputs.size(), kReplayLastInputs);
}

TEST(Replay, MovedCodeStillGetsTheInputsAtTheSameTimes) {
  const auto dir = FreshTestFolder("replay");
  // Code that never runs, ahead of most of the program: every later address moves.
  const std::string moved =
      PatchedDemo(dir, "\nsci_tx\n", "\nspare\n        nop\n        nop\n        ret\nsci_tx\n");
  for (unsigned seed = 21; seed <= 23; ++seed) {
    const SessionFile s = RandomSession(seed);
    const ReplayResult r = ReplayOn(s, moved, {0.0001});
    EXPECT_TRUE(r.same()) << "seed " << seed << "\n" << ReplayText(r);
  }
}

TEST(Replay, MissingExtraAndLateOutputsAreDifferences) {
  const SessionFile s = WriteRamSession();
  ASSERT_GT(s.outputs.size(), 3u);
  struct Case {
    const char* name;
    SessionFile session;
    bool recorded, produced, timing;
  };
  SessionFile missing = s;  // an output the build never makes
  missing.outputs.push_back({s.end, BoardOutput::Tone, 1234, 0});
  SessionFile extra = s;  // the build makes one more than recorded
  extra.outputs.pop_back();
  SessionFile late = s;  // recorded 10 ms earlier than the build makes it
  const std::int64_t shift = static_cast<std::int64_t>(CountsPerSecond(s.clock) / 100);
  for (SessionOutput& o : late.outputs) o.time = std::max<std::int64_t>(0, o.time - shift);
  const std::vector<Case> cases = {
      {"missing", missing, true, false, false},
      {"extra", extra, false, true, false},
      {"late", late, true, true, true},
  };
  for (const Case& c : cases) {
    const ReplayResult r = ReplayOn(c.session, kDemo, {1.0});
    ASSERT_FALSE(r.same()) << c.name;
    EXPECT_EQ(r.recorded.has_value(), c.recorded) << c.name;
    EXPECT_EQ(r.produced.has_value(), c.produced) << c.name;
    EXPECT_EQ(r.timing, c.timing) << c.name;
  }
  // Without --timing the late session is the same behaviour.
  EXPECT_TRUE(ReplayOn(late).same());
}

TEST(Replay, PowerCutsAreRecordedAndReplayed) {
  Rig rig;
  Recorder recorder(rig.c);
  recorder.Start();
  rig.RunSteps(40000);
  rig.c.PowerCut();
  rig.RunSteps(10);  // refused while the power is off
  rig.c.PowerOn();
  rig.RunSteps(40000);
  const SessionFile s = recorder.Stop();
  const auto cut = std::find_if(s.inputs.begin(), s.inputs.end(),
                                [](const SessionInput& in) { return in.kind == SessionInputKind::PowerCut; });
  ASSERT_NE(cut, s.inputs.end());
  EXPECT_EQ(std::next(cut)->kind, SessionInputKind::PowerOn);
  // The reset at the power's return does not set the session's time back:
  // the file reads again, and the second half's outputs come after the cut.
  EXPECT_GT(s.end, 2 * cut->time - 1000);
  const SessionReadResult read = ParseSession(FormatSession(s));
  ASSERT_TRUE(read.ok()) << read.message;
  EXPECT_TRUE(ReplayOn(*read.session).same());
}

TEST(Replay, TheRecordingHearsTheInputsAlongsideTheTimeTravelRecord) {
  Rig rig;
  rig.c.session().timeTravel().SetRecording(true);
  Recorder recorder(rig.c);
  recorder.Start();
  rig.RunSteps(30000);
  rig.c.Press({PanelAction::PressKey, 3});
  rig.RunSteps(30000);
  const SessionFile s = recorder.Stop();
  EXPECT_EQ(s.inputs.back().kind, SessionInputKind::KeyDown);
  // Going back still works from the record both heard.
  EXPECT_EQ(rig.c.StepBack(100).cause, StopCause::ReplayEnd);
}

}  // namespace
}  // namespace hc11::test
