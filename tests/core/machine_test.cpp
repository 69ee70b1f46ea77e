#include <tuple>

#include "tests/core/core_fixture.h"

namespace hc11::test {
namespace {

using MachineTest = CoreTest;

TEST_F(MachineTest, ResetKeepsAccumulatorsAndClearsLowMemoryOnly) {
  m.cpu = CpuState{0x11, 0x22, 0x3333, 0x4444, 0x5555, 0x6666, 0xFF};
  for (std::uint16_t a : {0x0000, 0x103E, 0x103F, 0x2000}) m.Memory[a] = 7;
  m.StartPC = 0xE123;
  m.CycleCount = 99;
  m.IrqCounter = 7;
  m.StackTop = 0x00FF;
  m.WriteTagTable[0x1FFF].tag = TagReturnAddress;
  m.ResetMachine();

  EXPECT_EQ(std::tuple(m.cpu.A, m.cpu.B, m.cpu.X, m.cpu.Y, m.cpu.SP, m.cpu.PC, m.cpu.CC),
            std::tuple(0x11, 0x22, 0x3333, 0x4444, 0, 0xE123, 0x10));
  EXPECT_EQ(std::tuple(m.Memory[0x0000], m.Memory[0x103E], m.Memory[0x103F], m.Memory[0x2000]),
            std::tuple(0, 0, 7, 7));
  EXPECT_EQ(std::tuple(m.CycleCount, m.IrqCounter, m.StackTop, m.StackChanged), std::tuple(0, 0, 0, true));
  EXPECT_EQ(m.WriteTagTable[0x1FFF].tag, TagReturnAddress);
  EXPECT_EQ(m.WriteTagTable[0x2000].tag, TagForbidden);
  EXPECT_EQ(m.WriteTagTable[0xFFFF].tag, TagForbidden);
}

TEST_F(MachineTest, StackWrapsAroundZeroAndMarksTheStackChanged) {
  m.cpu.SP = 0x0000;
  m.Push8(0xAB, TagData);
  EXPECT_EQ(m.cpu.SP, 0xFFFF);
  EXPECT_TRUE(m.StackChanged);  // the stack view redraws after pushes and pulls
  m.StackChanged = false;
  EXPECT_EQ(m.Pull8(), 0xAB);
  EXPECT_EQ(m.cpu.SP, 0x0000);
  EXPECT_TRUE(m.StackChanged);
}

TEST_F(MachineTest, ForbiddenWriteIsReportedOnceAndStillPerformed) {
  m.ResetMachine();
  m.MemWrite8(0x8000, 0x42, TagData);
  EXPECT_EQ(m.Memory[0x8000], 0x42);
  EXPECT_TRUE(m.StopFlag);
  EXPECT_EQ(m.StopMessage, "Ram Interdit: 8000");
  EXPECT_EQ(hooks.beeps, (std::vector<std::pair<int, int>>{{500, 100}}));

  m.StopFlag = false;
  m.MemWrite8(0x8000, 0x43, TagData);
  EXPECT_FALSE(m.StopFlag);
}

TEST_F(MachineTest, OnlyTheRegisterBlockReachesTheDevices) {
  FakeDevices dev;
  m.SetPeripherals(&dev);
  m.Memory[0x0FFF] = 1;
  m.Memory[0x1040] = 2;
  EXPECT_EQ(m.MemRead8(0x0FFF), 1);
  EXPECT_EQ(m.MemRead8(0x1031), 0x5A);
  EXPECT_EQ(m.MemRead16(0x103F), 0x5A02);  // high byte hooked, low byte at $1040 plain
  EXPECT_EQ(dev.reads, (std::vector<std::uint16_t>{0x1031, 0x103F}));

  m.MemWrite8(0x1000, 0xC0, TagData);
  m.MemWrite8(0x2000, 0x01, TagData);
  ASSERT_EQ(dev.writes8.size(), 1u);
  EXPECT_EQ(m.Memory[0x1000], 0xC0);  // stored before the device reacts

  m.MemWrite16(0x101A, 0xBEEF);
  EXPECT_EQ(m.Memory[0x101A] << 8 | m.Memory[0x101B], 0xBEEF);
  ASSERT_EQ(dev.writes16.size(), 1u);
  EXPECT_EQ(dev.writes16[0], std::make_pair(std::uint16_t{0x101A}, std::uint16_t{0xBEEF}));
  EXPECT_EQ(dev.writes8.size(), 3u);  // both bytes went through the byte hook too

  m.SetBitHooked(0x1000, 0x01, true);
  m.SetBitRaw(0x1000, 0x80, false);
  EXPECT_EQ(m.Memory[0x1000], 0x41);
  ASSERT_EQ(dev.writes8.size(), 4u);  // only the hooked change reaches the board
  EXPECT_EQ(dev.writes8.back().second, 0xC1);

  m.ResetMachine();
  EXPECT_EQ(dev.resets, 1);
}

}  // namespace
}  // namespace hc11::test
