#include <gtest/gtest.h>

#include "tests/board/board_test_support.h"

namespace hc11::test {
namespace {

class SynthTest : public BoardTest {
 protected:
  void SetLatch(std::uint8_t value) { ASSERT_TRUE(bus.Frame({0x40, value})); }
  void PulseClock() {
    machine.MemWrite8(kPortD, kPortDSynthClock, TagData);
    machine.MemWrite8(kPortD, 0x00, TagData);
  }
  // Bits most significant first: the data bit on port A, then a clock pulse on port D.
  void Load(unsigned value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      machine.SetBitHooked(kPortA, kPinSynthData, ((value >> i) & 1) != 0);
      machine.PrevPortA = machine.Memory[kPortA];
      PulseClock();
    }
  }
  void LoadAll(unsigned a, unsigned m, unsigned r) {
    Load(a, 7);
    Load(m, 10);
    Load(r, 11);
  }

  I2cMaster bus{machine};
};

TEST_F(SynthTest, LoadsRegistersAndShowsTheFrequencyOfEachMode) {
  SetLatch(0x80);  // load enabled, receive
  board.SynthTrace = true;
  LoadAll(0x10, 0xB6, 0x123);
  EXPECT_EQ((std::array{board.SynthA, board.SynthM, board.SynthR}),
            (std::array<std::uint16_t, 3>{0x10, 0xB6, 0x123}));
  EXPECT_EQ(board.LbSynth, "Reception 124400 kHz M=00b6 A=10");  // 145800 - 21400
  const auto texts = EventTexts();
  EXPECT_EQ(texts[2], "Synth 8 2 0000");
  EXPECT_EQ(texts[7], "Synth A 0010");

  board.UhfMode = 1;
  EXPECT_EQ(board.SynthDisplay(), 190800);
  SetLatch(0x88);  // transmit; the latch change alone refreshes the label
  EXPECT_EQ(board.LbSynth, "Emission    145800 kHz M=00b6 A=10");
  EXPECT_EQ(board.SynthDisplay(), 0);
  board.SynthA = 0x11;  // N = 11665: 145812.5 kHz goes to the even neighbour
  board.SynthDisplay();
  EXPECT_EQ(board.LbSynth, "Emission    145812 kHz M=00b6 A=11");
}

TEST_F(SynthTest, ChannelBusyBitTellsWhetherReceiveFrequencyMatchesOcFreq) {
  SetLatch(0x80);
  board.SetOcFreq(145650);  // = 13364 x 12.5 - 21400, and 13364 = 208 x 64 + 52
  Load(52, 7);
  Load(208, 10);
  Load(0, 10);
  machine.SetBitRaw(kPortA, kPinStop, true);  // changed behind the devices' back
  PulseClock();                               // the last bit of R
  EXPECT_NE(machine.Memory[kPortA] & kPinChannelBusy, 0);
  EXPECT_EQ(board.LbOutA, " bStop");  // the port-A devices saw the hooked write
  LoadAll(53, 208, 0);
  EXPECT_EQ(machine.Memory[kPortA] & kPinChannelBusy, 0);
}

TEST_F(SynthTest, DisabledLoadShiftsNothingAndResetAbandonsAPartialLoad) {
  SetLatch(0x80);
  Load(0x10, 7);
  Load(0x2, 3);  // M under way
  SetLatch(0x00);
  board.SynthTrace = true;
  Load(0xFF, 4);
  EXPECT_EQ(board.SynthBits, 3);
  EXPECT_EQ(board.SynthShift, 0x2);
  EXPECT_EQ(EventTexts(), std::vector<std::string>(4, "Synth 0"));  // bit 3 of the port-D byte

  SetLatch(0x80);
  machine.ResetMachine();
  machine.PrevPortA = machine.Memory[kPortA];
  LoadAll(0x11, 0xB7, 0);
  EXPECT_EQ(board.SynthA, 0x11);
  EXPECT_EQ(board.SynthM, 0xB7);
}

}  // namespace
}  // namespace hc11::test
