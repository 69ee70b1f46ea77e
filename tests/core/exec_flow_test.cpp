// Jumps, branches, calls, returns, push/pull and the interrupt entry.
#include <tuple>

#include "core/run_engine.h"
#include "tests/core/core_fixture.h"

namespace hc11::test {
namespace {

constexpr std::uint8_t N = FlagN, Z = FlagZ, V = FlagV, C = FlagC;

class ExecFlowTest : public CoreTest {
 protected:
  void SetUp() override { m.CodeEnd = 0xFFFF; }
};

TEST_F(ExecFlowTest, CallPushesTaggedReturnAddressAndCountsTheTransfer) {
  Load({0x8D, 0x10});  // callr +$10
  m.cpu.SP = 0x00FF;
  Step(m);
  EXPECT_EQ(m.Memory[0x00FF] | m.Memory[0x00FE] << 8, 0xE002);
  EXPECT_EQ(m.WriteTagTable[0x00FE].tag, TagReturnAddress);
  EXPECT_EQ(m.cpu.PC, 0xE012);
  EXPECT_EQ(m.CycleCount, 2);

  Place(0xE012, {0x39});  // ret
  Step(m);
  EXPECT_EQ(m.cpu.PC, 0xE002);
  EXPECT_EQ(m.cpu.SP, 0x00FF);
  EXPECT_EQ(m.CycleCount, 4);
}

TEST_F(ExecFlowTest, ConditionalBranchesReadTheFlags) {
  struct Case {
    const char* name;
    std::uint8_t opcode, cc;
    bool taken;
  };
  const std::vector<Case> cases = {
      {"blt N!=V", 0x2D, V, true}, {"bge N!=V", 0x2C, V, false}, {"ble N!=V", 0x2F, V, true},
      {"ble Z", 0x2F, Z, true},    {"ble none", 0x2F, 0, false}, {"bge N=V", 0x2C, N | V, true},
      {"beq", 0x27, Z, true},      {"beq not", 0x27, 0, false},  {"bne", 0x26, 0, true},
      {"bcs", 0x25, C, true},      {"bcc", 0x24, C, false},      {"bhi", 0x22, 0, true},
      {"bhi Z", 0x22, Z, false},   {"bls C", 0x23, C, true},     {"bls none", 0x23, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Load({c.opcode, 0x10});
    m.cpu.CC = c.cc;
    const std::int64_t before = m.CycleCount;
    Exec();
    EXPECT_EQ(m.cpu.PC, c.taken ? kCode + 0x12 : kCode + 2);
    EXPECT_EQ(m.CycleCount - before, c.taken ? 1 : 0);
  }
}

TEST_F(ExecFlowTest, BitTestBranches) {
  struct Case {
    const char* name;
    Bytes code;
    int pcAfter;  // offset from the start
  };
  const std::vector<Case> cases = {
      {"brclr taken", {0x13, 0x20, 0x80, 0x10}, 4 + 0x10},
      {"brset not taken", {0x12, 0x20, 0x80, 0x10}, 4},
      {"brset, every masked bit set", {0x12, 0x20, 0x7F, 0x10}, 4 + 0x10},
      {"brclr by Y, backwards", {0x18, 0x1F, 0x10, 0x80, 0xFC}, 5 - 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m.Memory[0x20] = 0x7F;
    m.cpu.Y = 0x0010;
    Load(c.code);
    Exec();
    EXPECT_EQ(m.cpu.PC, kCode + c.pcAfter);
  }
}

TEST_F(ExecFlowTest, TransferPastTheCodeCompletesThenStops) {
  Load({0x7E, 0xE8, 0x00});  // jmp $E800, the last byte of the code
  m.CodeEnd = 0xE800;
  Exec();
  EXPECT_FALSE(m.StopFlag);
  Load({0x7E, 0xE8, 0x01});  // jmp $E801
  m.CodeEnd = 0xE800;
  Exec();
  EXPECT_EQ(m.cpu.PC, 0xE801);
  EXPECT_TRUE(m.StopFlag);
  EXPECT_EQ(m.StopMessage, "adr>fin E801");
}

TEST_F(ExecFlowTest, ReturnFromInterruptRestoresEveryRegister) {
  m.cpu = CpuState{0x11, 0x22, 0x3333, 0x4444, 0x00FF, 0xE123, 0xC5};
  Place(0xF000, {0x3B});  // reti
  InterruptEntry(m, 0xF000);
  EXPECT_EQ(m.cpu.PC, 0xF000);
  EXPECT_EQ(m.cpu.SP, 0x00FF - 9);
  EXPECT_EQ(m.CycleCount, 2);
  // Frame from the lowest address up: CC, B, A, X, Y, PC.
  EXPECT_EQ(Bytes(m.Memory.begin() + 0xF7, m.Memory.begin() + 0x100),
            (Bytes{0xC5, 0x22, 0x11, 0x33, 0x33, 0x44, 0x44, 0xE1, 0x23}));
  EXPECT_EQ(m.WriteTagTable[0xFE].tag, TagReturnAddress);
  EXPECT_EQ(m.WriteTagTable[0xFC].tag, TagData);
  m.cpu = CpuState{0, 0, 0, 0, m.cpu.SP, 0xF000, 0};
  Exec();
  EXPECT_EQ(std::tuple(m.cpu.A, m.cpu.B, m.cpu.X, m.cpu.Y, m.cpu.SP, m.cpu.PC, m.cpu.CC),
            std::tuple(0x11, 0x22, 0x3333, 0x4444, 0x00FF, 0xE123, 0xC5));
}

// "Remonter du SP" ends on the first return that lifts SP above its level.
TEST_F(ExecFlowTest, ReturnEndsAReturnUpRunOnceTheStackClimbsAboveItsLevel) {
  for (std::uint16_t sp : {std::uint16_t{0x00F0}, std::uint16_t{0x00EE}, std::uint16_t{0x00EC}}) {
    SCOPED_TRACE(sp);
    m.RunMode = u'u';
    m.SavedSP = 0x00F0;
    m.cpu.SP = sp;
    Load({0x39});
    Exec();
    EXPECT_EQ(m.RunMode, sp + 2 > 0x00F0 ? u'q' : u'u');
  }
}

TEST_F(ExecFlowTest, PushAndPullRoundTrip) {
  m.cpu = CpuState{0x11, 0x22, 0x3344, 0, 0x00FF, kCode, 0};
  // pushA pushB pushX clrA clrB ldX #0 popX popB popA
  Place(kCode, {0x36, 0x37, 0x3C, 0x4F, 0x5F, 0xCE, 0, 0, 0x38, 0x33, 0x32});
  for (int i = 0; i < 9; ++i) Exec();
  EXPECT_EQ(std::tuple(m.cpu.A, m.cpu.B, m.cpu.X, m.cpu.SP), std::tuple(0x11, 0x22, 0x3344, 0x00FF));
  EXPECT_EQ(m.Memory[0xFF], 0x11);
}

}  // namespace
}  // namespace hc11::test
