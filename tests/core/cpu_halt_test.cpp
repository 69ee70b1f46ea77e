// WAI, STOP, SWI and the illegal-opcode trap in both modes, and the rules the
// designed rows keep in the designed mode where the chip differs.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "core/run_engine.h"
#include "tests/core/core_fixture.h"

namespace hc11::test {
namespace {

constexpr std::uint16_t kHandler = 0xF000;
constexpr std::uint16_t kRtiVector = 0xFFF0;

// The on-chip devices of the exact mode, reduced to one source the test
// raises: the real-time interrupt, taken when the processor allows it.
class OneSourceChip : public FakeDevices {
 public:
  explicit OneSourceChip(Machine& m) : m_(m) {}
  void Raise() {
    raised_ = true;
    m_.IrqPending = true;
  }
  ChipRequest ServiceChip(bool unmasked) override {
    m_.ChipDueAt = std::numeric_limits<std::int64_t>::max();
    if (!raised_ || !unmasked) return {};
    raised_ = false;
    m_.IrqPending = false;
    return {ChipRequest::Kind::Interrupt, kRtiVector};
  }

 private:
  Machine& m_;
  bool raised_ = false;
};

class HaltTest : public CoreTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    m.Exact = GetParam();
    m.CodeEnd = 0xFFFF;
    m.cpu.SP = 0x01F0;
    m.TimerVector = kHandler;
    SetVector(kRtiVector, kHandler);
    m.SetPeripherals(&chip);
    Place(kHandler, {0x3B});  // reti
  }
  // An interrupt due at the next step: the periodic one in the designed
  // mode, the chip's own in the exact mode, which has no periodic one.
  void InterruptDue() {
    if (GetParam())
      chip.Raise();
    else
      m.IrqCounter = kIrqPeriod;
  }
  void SetVector(std::uint16_t at, std::uint16_t to) {
    m.Memory[at] = static_cast<std::uint8_t>(to >> 8);
    m.Memory[at + 1] = static_cast<std::uint8_t>(to);
  }
  // The frame an interrupt stacks, from the lowest address: CC B A X Y PC.
  std::uint16_t StackedPC() const {
    return static_cast<std::uint16_t>(m.Memory[m.cpu.SP + 8] << 8 | m.Memory[m.cpu.SP + 9]);
  }
  void Steps(int n) {
    for (int i = 0; i < n; ++i) ASSERT_TRUE(Step(m));
  }

  OneSourceChip chip{m};
};

// An interrupt wakes WAI through the interrupt entry, which does not stack
// the frame again: RTI returns after the WAI.
TEST_P(HaltTest, WaiWaitsUntilAnInterruptAndIsNotStackedTwice) {
  m.cpu.CC = 0;
  m.cpu.A = 0x42;
  Load({0x3E, 0x4C});  // wai; incA
  Steps(1);
  EXPECT_EQ(m.Halt, CpuHalt::Wait);
  EXPECT_EQ(m.cpu.SP, 0x01F0 - 9);
  EXPECT_EQ(StackedPC(), kCode + 1);
  const std::int64_t waitStart = m.CycleCount;
  Steps(100);
  EXPECT_EQ(m.cpu.PC, kCode) << "nothing executes while waiting";
  EXPECT_EQ(m.CycleCount - waitStart, 100) << "time passes, one count per step";
  EXPECT_FALSE(m.StopFlag);
  InterruptDue();
  Steps(1);  // entry, then the handler's RTI in the same step
  EXPECT_EQ(m.Halt, CpuHalt::None);
  EXPECT_EQ(m.cpu.SP, 0x01F0);
  EXPECT_EQ(m.cpu.PC, kCode + 1);
  Steps(1);
  EXPECT_EQ(m.cpu.A, 0x43);
}

TEST_P(HaltTest, WaiAndStopWithInterruptsMaskedStopTheRunEveryTime) {
  struct Case {
    const char* name;
    std::uint8_t opcode;
    std::string message;
    int stacked;
  };
  const std::vector<Case> cases = {
      {"wai", 0x3E, "wai E000 I=1", 9},
      {"stop", 0xCF, "stop E000 I=1", 0},
  };
  for (const Case& c : cases) {
    if (c.opcode == 0xCF && !GetParam()) continue;  // the designed table has no STOP
    SCOPED_TRACE(c.name);
    m.cpu.SP = 0x01F0;
    m.Halt = CpuHalt::None;
    m.cpu.CC = FlagI;
    Load({c.opcode});
    m.RunMode = kModeRun;
    RunCommand(m, kModeRun, false);
    EXPECT_EQ(m.Stop.cause, StopCause::Error);
    EXPECT_EQ(m.Stop.error, ErrorKind::NoWakeUp);
    EXPECT_EQ(m.Stop.message, c.message);
    EXPECT_EQ(m.cpu.PC, kCode);
    RunCommand(m, kModeRun, false);  // again: the same stop, nothing stacked twice
    EXPECT_EQ(m.Stop.error, ErrorKind::NoWakeUp);
    EXPECT_EQ(m.cpu.SP, 0x01F0 - c.stacked);
  }
}

// The designed mode has no STOP: $CF is the refused immediate slot of "stX".
TEST_P(HaltTest, StopHaltsUntilAnInterruptAndActsAsNopWithS) {
  if (!GetParam()) GTEST_SKIP() << "the designed table refuses $CF";
  m.cpu.CC = FlagS;
  Load({0xCF, 0x01});
  Steps(1);
  EXPECT_EQ(m.cpu.PC, kCode + 1) << "S set: a NOP";
  EXPECT_EQ(m.Halt, CpuHalt::None);
  m.cpu.CC = 0;
  m.cpu.PC = kCode;
  Steps(5);
  EXPECT_EQ(m.Halt, CpuHalt::Stop);
  EXPECT_EQ(m.cpu.PC, kCode);
  EXPECT_EQ(m.cpu.SP, 0x01F0);
  InterruptDue();
  m.Memory[kHandler] = 0x01;  // nop: look at the frame before it returns
  Steps(1);
  EXPECT_EQ(m.cpu.PC, kHandler + 1);
  EXPECT_EQ(StackedPC(), kCode + 1) << "returns after the STOP";
  EXPECT_TRUE(m.TestFlag(FlagI)) << "the chip masks interrupts on entry";
}

TEST_P(HaltTest, SwiGoesThroughItsVectorWhenTheProgramDefinesIt) {
  m.cpu.CC = 0;
  Load({0x3F});
  Exec();
  EXPECT_TRUE(m.StopFlag);
  EXPECT_EQ(m.StopMessage, "Erreur code e001 3f swi ");
  EXPECT_EQ(m.cpu.SP, 0x01F0) << "nothing stacked without a vector";
  m.StopFlag = false;
  SetVector(kSwiVector, 0xF100);
  Place(0xF100, {0x01});
  m.cpu.PC = kCode;
  const std::int64_t before = m.CycleCount;
  Steps(1);
  EXPECT_FALSE(m.StopFlag) << m.StopMessage;
  EXPECT_EQ(m.cpu.PC, 0xF100);
  EXPECT_EQ(StackedPC(), kCode + 1);
  EXPECT_TRUE(m.TestFlag(FlagI));
  EXPECT_EQ(m.CycleCount - before, GetParam() ? 14 : 2);
}

TEST_P(HaltTest, AnIllegalOpcodeTrapsThroughItsVectorOrStopsAsDesigned) {
  struct Case {
    const char* name;
    Bytes code;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"page 1", {0x41}, "err inst  e000 41 "},
      {"page 2", {0x18, 0x3D}, "err inst  e001 3d "},
      {"page 4", {0xCD, 0x83}, "err inst  e001 83 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetVector(kIllegalOpcodeVector, 0);
    m.cpu.SP = 0x01F0;
    m.StopFlag = false;
    Load(c.code);
    Steps(1);
    EXPECT_TRUE(m.StopFlag);
    EXPECT_EQ(m.StopMessage, c.message);
    EXPECT_EQ(m.cpu.SP, 0x01F0);
    m.StopFlag = false;
    SetVector(kIllegalOpcodeVector, 0xF200);
    Place(0xF200, {0x01});
    m.cpu.PC = kCode;
    Steps(1);
    EXPECT_FALSE(m.StopFlag) << m.StopMessage;
    EXPECT_EQ(m.cpu.PC, 0xF200);
    EXPECT_EQ(StackedPC(), kCode) << "the frame names the opcode's first byte";
  }
}

// A breakpoint on WAI does not stop every waiting step: the processor is
// not about to execute it.
TEST_P(HaltTest, ABreakpointOnAWaitingWaiLetsTheRunWaitOn) {
  m.cpu.CC = 0;
  Load({0x3E, 0x20, 0xFE});  // wai; jr self
  Steps(1);
  m.tInst[kCode] = kBreakStop;
  m.StepBudget = 50;
  RunCommand(m, kModeRun, false);
  EXPECT_EQ(m.Stop.cause, StopCause::BudgetSpent);
}

INSTANTIATE_TEST_SUITE_P(BothModes, HaltTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Exact" : "Designed"; });

struct ModeRule {
  const char* name;
  Bytes code;
  std::uint8_t a, cc;
  std::uint8_t designedCC, exactCC;
};

// Where the designed rows keep the design's rules and the exact mode gives
// way to the chip.
TEST_F(CoreTest, TheDesignedRowsKeepTheirRulesAndTheExactModeTheChips) {
  const std::vector<ModeRule> cases = {
      {"addA computes H only on the chip", {0x8B, 0x08}, 0x08, 0x00, 0x00, FlagH},
      {"bset sets N, Z, V only on the chip", {0x14, 0x40, 0x80}, 0, FlagV, FlagV, FlagN},
      {"bclr likewise", {0x15, 0x40, 0xFF}, 0, FlagN, FlagN, FlagZ},
      {"di does nothing in the design, SEI on the chip", {0x0F}, 0, 0x00, 0x00, FlagI},
      {"aBA's H", {0x1B}, 0x0F, 0x00, 0x00, FlagH},
  };
  for (bool exact : {false, true}) {
    for (const ModeRule& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << (exact ? " exact" : " designed"));
      m.Exact = exact;
      m.cpu.A = c.a;
      m.cpu.B = 0x01;
      m.cpu.CC = c.cc;
      m.Memory[0x40] = 0x00;
      Run(c.code);
      EXPECT_EQ(m.cpu.CC, exact ? c.exactCC : c.designedCC);
    }
  }
}

TEST_F(CoreTest, TheDesignedModeStillRefusesWhatTheDesignRefusesAndTheExactModeRunsIt) {
  const std::vector<std::pair<Bytes, std::string>> cases = {
      {{0x40}, "Erreur code e001 40 negA "},
      {{0x18, 0xDE, 0x10}, "Erreur code e003 de ldY jdYh"},
      {{0xA0, 0x00}, "Erreur code e002 a0 subA idXh"},
      {{0xCF}, "Erreur code e001 cf stX .dXh"},
  };
  for (const auto& [code, message] : cases) {
    SCOPED_TRACE(message);
    m.Exact = false;
    m.StopFlag = false;
    Load(code);
    Exec();
    EXPECT_EQ(m.StopMessage, message);
    m.Exact = true;
    m.cpu.CC = FlagS;  // STOP as a NOP
    m.StopFlag = false;
    m.StopMessage.clear();
    Run(code);
  }
}

TEST_F(CoreTest, TheExactModeCountsECyclesAndTheDesignedOneStepsAndTransfers) {
  // ldaA #1 (2), jsr ext (6), rts (5), beq not taken (3), bra taken (3).
  Place(0xE100, {0x39});
  const std::vector<std::tuple<Bytes, int, int>> cases = {
      {{0x86, 0x01}, 1, 2}, {{0xBD, 0xE1, 0x00}, 2, 6}, {{0x26, 0x10}, 1, 3},
      {{0x20, 0x10}, 2, 3}, {{0x18, 0xA6, 0x00}, 1, 5}, {{0x02}, 1, 41},
  };
  for (const auto& [code, designed, exact] : cases) {
    for (bool mode : {false, true}) {
      m.Exact = mode;
      m.cpu.CC = FlagZ;
      m.cpu.SP = 0x01F0;
      Load(code);
      const std::int64_t before = m.CycleCount;
      ASSERT_TRUE(Step(m));
      EXPECT_EQ(m.CycleCount - before, mode ? exact : designed) << int{code[0]};
    }
  }
}

TEST(ExactReset, TheChipLeavesResetWithSXAndISet) {
  Machine m;
  m.ResetMachine();
  EXPECT_EQ(m.cpu.CC, FlagI);
  m.Exact = true;
  m.Halt = CpuHalt::Wait;
  m.ResetMachine();
  EXPECT_EQ(m.cpu.CC, FlagS | FlagX | FlagI);
  EXPECT_EQ(m.Halt, CpuHalt::None);
}

}  // namespace
}  // namespace hc11::test
