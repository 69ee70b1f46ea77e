#include "tests/core/core_fixture.h"

namespace hc11::test {
namespace {

using MachineTest = CoreTest;

TEST_F(MachineTest, ResetKeepsAccumulatorsAndClearsLowMemoryOnly) {
  m.cpu = CpuState{0x11, 0x22, 0x3333, 0x4444, 0x5555, 0x6666, 0xFF};
  m.Memory[0x0000] = 1;
  m.Memory[0x103E] = 2;
  m.Memory[0x103F] = 3;
  m.Memory[0x2000] = 4;
  m.StartPC = 0xE123;
  m.CycleCount = 99;
  m.IrqCounter = 7;
  m.StackTop = 0x00FF;
  m.WriteTagTable[0x1FFF].tag = TagReturnAddress;
  m.ResetMachine();

  EXPECT_EQ(m.cpu.CC, 0x10);
  EXPECT_EQ(m.cpu.SP, 0);
  EXPECT_EQ(m.cpu.PC, 0xE123);
  EXPECT_EQ(m.cpu.A, 0x11);
  EXPECT_EQ(m.cpu.B, 0x22);
  EXPECT_EQ(m.cpu.X, 0x3333);
  EXPECT_EQ(m.cpu.Y, 0x4444);
  EXPECT_EQ(m.Memory[0x0000], 0);
  EXPECT_EQ(m.Memory[0x103E], 0);
  EXPECT_EQ(m.Memory[0x103F], 3);
  EXPECT_EQ(m.Memory[0x2000], 4);
  EXPECT_EQ(m.CycleCount, 0);
  EXPECT_EQ(m.IrqCounter, 0);
  EXPECT_EQ(m.StackTop, 0);
  EXPECT_TRUE(m.StackChanged);
  EXPECT_EQ(m.WriteTagTable[0x1FFF].tag, TagReturnAddress);
  EXPECT_EQ(m.WriteTagTable[0x2000].tag, TagForbidden);
  EXPECT_EQ(m.WriteTagTable[0xFFFF].tag, TagForbidden);
}

TEST_F(MachineTest, StackPushesHighByteAtLowerAddressAndWraps) {
  m.cpu.SP = 0x00FF;
  m.Push16(0x1234, TagReturnAddress);
  EXPECT_EQ(m.Memory[0x00FF], 0x34);
  EXPECT_EQ(m.Memory[0x00FE], 0x12);
  EXPECT_EQ(m.WriteTagTable[0x00FF].tag, TagReturnAddress);
  EXPECT_EQ(m.WriteTagTable[0x00FE].tag, TagReturnAddress);
  EXPECT_EQ(m.cpu.SP, 0x00FD);
  EXPECT_EQ(m.Pull16(), 0x1234);
  EXPECT_EQ(m.cpu.SP, 0x00FF);

  m.cpu.SP = 0x0000;
  m.Push8(0xAB, TagData);
  EXPECT_EQ(m.Memory[0x0000], 0xAB);
  EXPECT_EQ(m.cpu.SP, 0xFFFF);
  EXPECT_EQ(m.Pull8(), 0xAB);
  EXPECT_EQ(m.cpu.SP, 0x0000);
}

TEST_F(MachineTest, ForbiddenWriteIsReportedOnceAndStillPerformed) {
  m.ResetMachine();
  m.MemWrite8(0x8000, 0x42, TagData);
  EXPECT_EQ(m.Memory[0x8000], 0x42);
  EXPECT_TRUE(m.StopFlag);
  EXPECT_EQ(m.StopMessage, "Ram Interdit: 8000");
  ASSERT_EQ(hooks.beeps.size(), 1u);
  EXPECT_EQ(hooks.beeps[0], std::make_pair(500, 100));

  m.StopFlag = false;
  m.MemWrite8(0x8000, 0x43, TagData);
  EXPECT_FALSE(m.StopFlag);
  EXPECT_EQ(hooks.beeps.size(), 1u);
}

TEST_F(MachineTest, OnlyTheRegisterBlockReachesTheDevices) {
  FakeDevices dev;
  m.SetPeripherals(&dev);
  m.Memory[0x0FFF] = 1;
  m.Memory[0x1040] = 2;
  EXPECT_EQ(m.MemRead8(0x0FFF), 1);
  EXPECT_EQ(m.MemRead8(0x1040), 2);
  EXPECT_TRUE(dev.reads.empty());
  EXPECT_EQ(m.MemRead8(0x1031), 0x5A);
  EXPECT_EQ(m.MemRead16(0x103F), 0x5A02);  // high byte hooked, low byte at $1040 plain
  EXPECT_EQ(dev.reads, (std::vector<std::uint16_t>{0x1031, 0x103F}));

  m.MemWrite8(0x1000, 0xC0, TagData);
  m.MemWrite8(0x2000, 0x01, TagData);
  ASSERT_EQ(dev.writes8.size(), 1u);
  EXPECT_EQ(m.Memory[0x1000], 0xC0);  // stored before the device reacts

  m.MemWrite16(0x101A, 0xBEEF);
  EXPECT_EQ(m.Memory[0x101A], 0xBE);
  EXPECT_EQ(m.Memory[0x101B], 0xEF);
  ASSERT_EQ(dev.writes16.size(), 1u);
  EXPECT_EQ(dev.writes16[0], std::make_pair(std::uint16_t{0x101A}, std::uint16_t{0xBEEF}));
  EXPECT_EQ(dev.writes8.size(), 3u);  // both bytes went through the byte hook too

  m.ResetMachine();
  EXPECT_EQ(dev.resets, 1);
}

TEST_F(MachineTest, SetBitHookedNotifiesDevicesRawDoesNot) {
  FakeDevices dev;
  m.SetPeripherals(&dev);
  m.Memory[0x1000] = 0x0F;
  m.SetBitHooked(0x1000, 0x80, true);
  EXPECT_EQ(m.Memory[0x1000], 0x8F);
  m.SetBitRaw(0x1000, 0x01, false);
  EXPECT_EQ(m.Memory[0x1000], 0x8E);
  ASSERT_EQ(dev.writes8.size(), 1u);
  EXPECT_EQ(dev.writes8[0].second, 0x8F);
}

TEST_F(MachineTest, TraceListKeepsTheLast3001Lines) {
  std::vector<std::string> seen;
  struct Sink : RecordingHooks {
    std::vector<std::string>* out;
    void TraceLineAdded(const std::string& l) override { out->push_back(l); }
  } sink;
  sink.out = &seen;
  m.SetHooks(&sink);
  for (int i = 0; i < 3000; ++i) m.AppendTraceLine(std::to_string(i));
  m.AppendTraceLine("a");
  EXPECT_EQ(m.TraceList.size(), 3001u);
  EXPECT_EQ(m.TraceList.front(), "0");
  m.AppendTraceLine("b");
  EXPECT_EQ(m.TraceList.size(), 3001u);
  EXPECT_EQ(m.TraceList.front(), "1");
  EXPECT_EQ(m.TraceList.back(), "b");
  EXPECT_EQ(seen.size(), 3002u);
  EXPECT_EQ(seen.back(), "b");
}

}  // namespace
}  // namespace hc11::test
