#include <gtest/gtest.h>

#include "tests/board/board_test_support.h"

namespace hc11::test {
namespace {

class I2cTest : public BoardTest {
 protected:
  I2cMaster bus{machine};
};

// Block bits of the address byte select the 256-byte page; a long write runs on
// and wraps at the end of the image. Random reads come back MSB first.
TEST_F(I2cTest, EepromWritesAndRandomReadsWrapAtTheEnd) {
  struct Case {
    std::uint8_t device, address;
    std::vector<std::uint8_t> data;
    std::size_t at;
  };
  for (const Case& c : {Case{0xA6, 0x10, {0x55}, 0x310}, Case{0xAE, 0xFE, {0x3C, 0xA5, 0x11}, 0x7FE}}) {
    SCOPED_TRACE(c.at);
    auto expected = board.EepromImage;
    for (std::size_t i = 0; i < c.data.size(); ++i) expected[(c.at + i) % 2048] = c.data[i];
    bus.Start();
    bus.WriteByte(c.device);
    bus.WriteByte(c.address);
    for (std::uint8_t b : c.data) EXPECT_TRUE(bus.WriteByte(b));
    bus.Stop();
    EXPECT_EQ(board.EepromImage, expected);
  }
  // Read across the end: $7FE, $7FF, then $000 (its first bit goes out on the stop's clock).
  bus.Start();
  bus.WriteByte(0xAE);
  bus.WriteByte(0xFE);
  bus.Start();
  EXPECT_TRUE(bus.WriteByte(0xAF));
  EXPECT_EQ(bus.ReadByte(true), 0x3C);
  EXPECT_EQ(bus.ReadByte(true), 0xA5);
  EXPECT_EQ(bus.ReadByte(false), 0x11);
  bus.Stop();
  EXPECT_EQ(board.I2cMode, 0);
  EXPECT_EQ(board.EepromImage[0x7FE], 0x3C);   // a read stores nothing
  EXPECT_TRUE(bus.Frame({0xA0, 0x30, 0x77}));  // and the bus works on
  EXPECT_EQ(board.EepromImage[0x030], 0x77);
  EXPECT_FALSE(machine.StopFlag);
}

TEST_F(I2cTest, BytesBeyondTheFrameBufferAreDropped) {
  const auto before = board.EepromImage;
  bus.Start();
  bus.WriteByte(0xA0);
  bus.WriteByte(0x00);
  for (std::size_t i = 0; i < Board::kFrameSize + 60; ++i)
    ASSERT_TRUE(bus.WriteByte(static_cast<std::uint8_t>(i)));
  bus.Stop();
  // The buffer holds the address byte, the memory address and 2046 data bytes.
  for (std::size_t i = 0; i < Board::kFrameSize - 2; ++i) ASSERT_EQ(board.EepromImage[i], i & 0xFF) << i;
  EXPECT_EQ(board.EepromImage[0x7FE], before[0x7FE]);
  EXPECT_EQ(board.EepromImage[0x7FF], before[0x7FF]);
}

TEST_F(I2cTest, LatchDisplayDriversAndUnknownAddress) {
  EXPECT_TRUE(bus.Frame({0x40, 0x88}));
  EXPECT_EQ(board.LbPcf8574, "Pcf8574=88");
  EXPECT_EQ(board.LbSynth, "Emission    0 kHz M=0000 A=00");  // refreshed; bit 3 = transmit

  EXPECT_TRUE(bus.Frame({0x70, 0x01, 0x06, 0xBF}));
  EXPECT_TRUE(bus.Frame({0x76, 0x01, 0x86, 0x3F}));
  EXPECT_TRUE(bus.Frame({0x70, 0x02, 0x00, 0x00}));  // another command byte: ignored
  EXPECT_EQ(board.Ecran1.Segments, (std::array<std::uint8_t, 4>{0xBF, 0x06, 0x3F, 0x86}));
  EXPECT_EQ((std::array{board.Led1Ton, board.Led2Hp, board.Led3Klx, board.Led4MA}),
            (std::array{true, false, false, true}));
  EXPECT_FALSE(machine.StopFlag);

  machine.cpu.PC = 0xE123;
  EXPECT_TRUE(bus.Frame({0x50, 0x12}));  // every byte is acknowledged anyway
  EXPECT_TRUE(machine.StopFlag);
  EXPECT_EQ(machine.StopMessage, "Erreur i2c pcs =e123 adr= 0050");
  EXPECT_EQ(hooks.beeps, (std::vector<std::pair<int, int>>{{500, 100}}));
}

TEST_F(I2cTest, TraceFollowsTheBusOnlyWhileSwitchedOn) {
  EXPECT_TRUE(bus.Frame({0x40, 0x88}));
  EXPECT_TRUE(hooks.trace.empty());
  board.I2cTrace = true;
  EXPECT_TRUE(bus.Frame({0x41, 0x00}));
  EXPECT_EQ(EventTexts(),
            (std::vector<std::string>{"i2c start", "i2c = 41", "i2c Rd0", "i2c acknowledge 1",
                                      "i2c ackn desc1", "i2c ackn mont", "i2c = 00", "i2c acknowledge 2",
                                      "i2c ackn desc1", "i2c ackn mont", "i2c stop"}));
  bus.Frame({0xA2, 0x23, 0x99});
  EXPECT_EQ(EventTexts().back(), "24c16 w [0123]=99 nbI2c3");
}

}  // namespace
}  // namespace hc11::test
