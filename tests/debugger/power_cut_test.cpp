// "Coupure secteur": what a power cut keeps and loses, as the firmware finds
// the board when power comes back.
#include <gtest/gtest.h>

#include <string>

#include "debugger/controller.h"
#include "reverse/sim_state.h"
#include "tests/board/board_test_support.h"
#include "tests/support/recording.h"
#include "tests/support/test_files.h"

namespace hc11::test {
namespace {

class PowerCutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    c.session().SetUseWorkspace(false);
    c.Load(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo");
    c.machine().StepBudget = 3000;
    c.machine().PrevPortA = c.machine().Memory[kPortA];
  }
  Board& board() { return c.session().board(); }
  std::uint64_t Digest() { return StateDigest(c.machine(), &board()); }

  RecordingHooks hooks;
  RecordingMessages messages;
  Controller c{hooks, messages};
};

TEST_F(PowerCutTest, AnEepromWriteIsKeptWholeOnlyOnceItsStopWasSent) {
  // Address $000 holds a factory byte that a reset writes: what the write
  // left there must survive the power coming back too.
  struct Case {
    const char* what;
    int bytesSent;  // data bytes sent before the cut
    bool stopSent;
    bool kept;
  };
  const Case cases[] = {
      {"cut before any data byte", 0, false, false},
      {"cut after one of two bytes", 1, false, false},
      {"cut after both bytes, before the stop", 2, false, false},
      {"cut after the stop", 2, true, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    ASSERT_TRUE(c.Init(false));
    c.machine().PrevPortA = c.machine().Memory[kPortA];
    const std::uint8_t old0 = board().EepromImage[0x000], old1 = board().EepromImage[0x001];
    const std::uint8_t value0 = static_cast<std::uint8_t>(old0 ^ 0x5A),
                       value1 = static_cast<std::uint8_t>(old1 ^ 0xA5);
    I2cMaster bus(c.machine());
    bus.Start();
    bus.WriteByte(0xA0);
    bus.WriteByte(0x00);
    if (k.bytesSent > 0) bus.WriteByte(value0);
    if (k.bytesSent > 1) bus.WriteByte(value1);
    if (k.stopSent) bus.Stop();

    c.PowerCut();
    ASSERT_TRUE(c.PoweredOff());
    c.PowerOn();
    ASSERT_FALSE(c.PoweredOff());
    EXPECT_EQ(board().EepromImage[0x000], k.kept ? value0 : old0);
    EXPECT_EQ(board().EepromImage[0x001], k.kept ? value1 : old1);
    EXPECT_EQ(board().I2cCount, 0);  // the bus starts afresh
  }
}

TEST_F(PowerCutTest, TheProcessorRamAndDisplaysGoTheChipsStateStays) {
  c.session().timeTravel().SetRecording(true);
  c.Run(RunKind::Run);
  ASSERT_TRUE(c.session().timeTravel().HasRecord());
  Machine& m = c.machine();
  m.cpu.A = 0x12;
  m.Memory[0x0040] = 0x77;
  m.WriteTagTable[0x0041].tag = TagReturnAddress;
  const std::uint8_t program = m.Memory[0xE000];
  board().Led1Ton = true;
  board().Ecran1.DrawDigit(0, 0x3F);
  board().LbSynth = "Reception 145650 kHz M=00b6 A=10";

  c.PowerCut();
  EXPECT_EQ(m.cpu.A, 0);
  EXPECT_EQ(m.cpu.PC, 0);
  EXPECT_EQ(m.Memory[0x0040], 0);
  EXPECT_EQ(m.WriteTagTable[0x0041].tag, TagData);
  EXPECT_EQ(m.Memory[0xE000], program);  // the program is in ROM
  EXPECT_FALSE(board().Led1Ton);
  EXPECT_EQ(board().Ecran1.Segments[0], 0);
  EXPECT_EQ(board().LbSynth, "Synth");
  EXPECT_EQ(board().PcfLatch, 0);

  // Nothing runs without power: every run command says so and changes nothing.
  const std::uint64_t off = Digest();
  for (RunKind kind : {RunKind::Run, RunKind::Step, RunKind::StepOver, RunKind::ReturnUp, RunKind::RunTo}) {
    const StopEvent e = c.Run(kind, 0xE010);
    EXPECT_EQ(e.cause, StopCause::PoweredOff);
    EXPECT_EQ(e.text, "hors tension");
  }
  EXPECT_EQ(Digest(), off);
  EXPECT_EQ(c.StepBack().cause, StopCause::NothingRecorded);  // the record went with the power

  c.PowerOn();
  EXPECT_EQ(m.cpu.PC, m.StartPC);
  EXPECT_EQ(m.cpu.CC, 0x10);
  EXPECT_EQ(c.Run(RunKind::Step).cause, StopCause::StepDone);
}

TEST_F(PowerCutTest, TheSameCutsGiveTheSameStatesAndAStateKeepsItsPower) {
  auto scenario = [](Controller& k) {
    k.session().SetUseWorkspace(false);
    k.Load(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo");
    k.machine().StepBudget = 2500;
    k.Run(RunKind::Run);
    k.PowerCut();
    k.PowerOn();
    k.Run(RunKind::Run);
    k.PowerCut();
    return StateDigest(k.machine(), &k.session().board());
  };
  RecordingHooks h1, h2;
  RecordingMessages m1, m2;
  Controller a{h1, m1}, b{h2, m2};
  const std::uint64_t digest = scenario(a);
  EXPECT_EQ(scenario(b), digest);

  // Saved while off, loaded into a running board: off again, same digest.
  const std::string path = (FreshTestFolder("power_") / "off.etat").string();
  ASSERT_TRUE(a.SaveState(path).ok());
  c.Run(RunKind::Run);
  ASSERT_FALSE(c.PoweredOff());
  ASSERT_TRUE(c.LoadState(path).ok());
  EXPECT_TRUE(c.PoweredOff());
  EXPECT_EQ(Digest(), digest);
}

}  // namespace
}  // namespace hc11::test
