// The A/D converter in exact mode: CCF after four conversions of 32 E
// cycles, single-channel and multiple-channel sequences, continuous scan,
// and nothing while the converter is not powered.
#include <gtest/gtest.h>

#include "core/text_util.h"
#include "tests/onchip/exact_fixture.h"

namespace hc11::test {
namespace {

constexpr std::uint16_t kAdctl = 0x1030, kAdr1 = 0x1031, kOption = 0x1039;
constexpr std::uint8_t kCcf = 0x80;

class AdcTest : public ExactTest {
 protected:
  void SetUp() override {
    Load("        org $E000\nstart   jr start\n");
    for (std::size_t ch = 0; ch < 8; ++ch) board.AdcInputs[ch] = static_cast<std::uint8_t>(0x10 * (ch + 1));
    StoreAt(0, kOption, 0x80);  // ADPU
  }
};

TEST_F(AdcTest, TheFlagComesAfterFourConversionsOfThirtyTwoCycles) {
  StoreAt(100, kAdctl, 0x02);  // channel 2, once
  EXPECT_EQ(LoadAt(100 + 4 * 32 - 1, kAdctl) & kCcf, 0);
  EXPECT_EQ(LoadAt(100 + 4 * 32, kAdctl), kCcf | 0x02);
  // A new write starts a new sequence and clears the flag.
  StoreAt(300, kAdctl, 0x03);
  EXPECT_EQ(LoadAt(301, kAdctl) & kCcf, 0);
}

TEST_F(AdcTest, EachResultRegisterHoldsItsConversionOnceDone) {
  struct Case {
    const char* name;
    std::uint8_t control;
    std::uint8_t results[4];
  } const cases[] = {
      {"channel 5 four times", 0x05, {0x60, 0x60, 0x60, 0x60}},
      {"MULT, channels 0-3", 0x10, {0x10, 0x20, 0x30, 0x40}},
      {"MULT, channels 4-7", 0x14, {0x50, 0x60, 0x70, 0x80}},
      {"a test channel reads 0", 0x0C, {0, 0, 0, 0}},
  };
  std::int64_t start = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    start += 1000;
    StoreAt(start, kAdctl, 0);  // channel 0 first, in every register
    start += 1000;
    StoreAt(start, kAdctl, c.control);
    for (int r = 0; r < 4; ++r) {
      SCOPED_TRACE(r);
      const auto reg = static_cast<std::uint16_t>(kAdr1 + r);
      EXPECT_EQ(LoadAt(start + 32 * (r + 1) - 1, reg), 0x10) << "not before its conversion";
      EXPECT_EQ(LoadAt(start + 32 * (r + 1), reg), c.results[r]);
    }
  }
}

TEST_F(AdcTest, ScanKeepsConvertingAndFollowsTheInput) {
  // Channel 6 is the signal level the panel sets.
  StoreAt(0, kAdctl, 0x20 | 0x06);  // SCAN
  EXPECT_EQ(LoadAt(200, kAdr1), 0x70);
  machine.CycleCount = 201;
  board.SetNiveauSignal(0x99);
  EXPECT_EQ(LoadAt(202, kAdr1), 0x70) << "the result of the conversion made before the change";
  EXPECT_EQ(LoadAt(200 + 128, kAdr1), 0x99) << "the next round has converted the new level";
  // Without SCAN the results stay as the four conversions left them.
  StoreAt(1000, kAdctl, 0x06);
  machine.CycleCount = 2000;
  board.SetNiveauSignal(0x42);
  EXPECT_EQ(LoadAt(5000, kAdr1), 0x99);
}

TEST_F(AdcTest, ARestartKeepsTheConversionsEndedBeforeIt) {
  StoreAt(1000, kAdctl, 0x10);           // MULT, channels 0-3
  StoreAt(1200, kAdctl, 0x14);           // all four ended, none read yet
  StoreAt(1200 + 64 + 5, kAdctl, 0x10);  // two of channels 4-7 ended, unread
  const std::uint8_t expected[4] = {0x50, 0x60, 0x30, 0x40};
  for (int r = 0; r < 4; ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(LoadAt(1200 + 64 + 6, static_cast<std::uint16_t>(kAdr1 + r)), expected[r]);
  }
  EXPECT_EQ(LoadAt(1200 + 64 + 6, kAdctl), 0x10) << "the restart clears the flag";
  // The results are read-only, with a conversion ended or not; the
  // register block shows the converter's byte.
  StoreAt(1200 + 64 + 6, kAdr1, 0xEE);
  EXPECT_EQ(Byte(kAdr1), 0x50);
  StoreAt(1200 + 64 + 5 + 32, kAdr1 + 1, 0xEE);
  EXPECT_EQ(Byte(kAdr1 + 1), 0x60);
  EXPECT_EQ(LoadAt(1200 + 64 + 5 + 32, kAdr1), 0x10);
  EXPECT_EQ(LoadAt(1200 + 64 + 5 + 64, kAdr1 + 1), 0x20);
}

// A RAM breakpoint on a register takes the watched path; the access still
// reaches the converter and the register block shows its byte.
TEST_F(AdcTest, AWatchedRegisterStillReachesTheConverter) {
  struct Hits : RamBreakHandler {
    std::string seen;
    void RamBreakHit(Machine&, std::uint16_t address, char kind) override {
      seen += Format("%c%4.4X ", kind, address);
    }
  } hits;
  machine.SetRamBreakHandler(&hits);
  machine.SetRamBreakBits(kAdctl, RamBreakRead | RamBreakWrite);
  machine.Idle = false;  // as during a run
  StoreAt(100, kAdctl, 0x02);
  EXPECT_EQ(LoadAt(100 + 4 * 32, kAdctl), kCcf | 0x02);
  EXPECT_EQ(Byte(kAdctl), kCcf | 0x02);
  EXPECT_EQ(hits.seen, "I1030 i1030 ");
  machine.SetRamBreakHandler(nullptr);
}

TEST_F(AdcTest, NothingConvertsWhileTheConverterIsOff) {
  StoreAt(0, kOption, 0x00);
  StoreAt(10, kAdctl, 0x01);
  EXPECT_EQ(LoadAt(1000, kAdctl) & kCcf, 0);
  EXPECT_EQ(LoadAt(1000, kAdr1), 0);
}

}  // namespace
}  // namespace hc11::test
