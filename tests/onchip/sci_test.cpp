// The serial interface's timing in exact mode: a frame takes 10 bit times
// at the rate BAUD selects, in both directions; TDRE and TC, RDRF, OR and
// IDLE as the chip gives them; bytes from the board wait for the line.
#include <gtest/gtest.h>

#include <vector>

#include "core/text_util.h"
#include "tests/onchip/exact_fixture.h"

namespace hc11::test {
namespace {

constexpr std::uint16_t kBaud = 0x102B, kSccr2 = 0x102D, kScsr = 0x102E, kScdr = 0x102F;
constexpr std::uint8_t kTdre = 0x80, kTc = 0x40, kRdrf = 0x20, kIdle = 0x10, kOr = 0x08;

class SciTest : public ExactTest {
 protected:
  void SetUp() override {
    Load("        org $E000\nstart   jr start\n");
    board.OnTransmit = [this](std::uint8_t byte) { sent.push_back({byte, machine.CycleCount}); };
  }
  struct Sent {
    std::uint8_t byte;
    std::int64_t at;
  };
  std::vector<Sent> sent;
};

// BAUD's SCP1:0 (prescaler 1, 3, 4, 13) and SCR2:0 (divider 2^n): a bit is
// 16 x prescaler x divider E cycles.
struct BaudCase {
  std::uint8_t baud;
  std::int64_t bitCycles;
};
constexpr BaudCase kBauds[] = {
    {0x30, 16 * 13},  // the demo's setting: 4,303 baud with this crystal, not 9,600
    {0x11, 16 * 3 * 2}, {0x00, 16}, {0x22, 16 * 4 * 4}, {0x05, 16 * 32},
};

TEST_F(SciTest, AByteTakesTenBitTimesToTransmitAtEachBaudSetting) {
  for (const BaudCase& c : kBauds) {
    SCOPED_TRACE(Format("BAUD $%2.2X", c.baud));
    sent.clear();
    machine.ResetMachine();
    StoreAt(10, kBaud, c.baud);
    StoreAt(10, kSccr2, 0x08);  // TE
    EXPECT_EQ(LoadAt(20, kScsr) & (kTdre | kTc), kTdre | kTc) << "idle transmitter";
    StoreAt(100, kScdr, 0x41);
    // The byte goes at once into the shifter: TDRE again, TC not until it has left.
    EXPECT_EQ(LoadAt(101, kScsr) & (kTdre | kTc), kTdre);
    StoreAt(102, kScdr, 0x42);  // waits behind the first
    EXPECT_EQ(LoadAt(103, kScsr) & (kTdre | kTc), 0);
    const std::int64_t frame = 10 * c.bitCycles;
    EXPECT_EQ(LoadAt(100 + frame - 1, kScsr) & kTdre, 0);
    EXPECT_TRUE(sent.empty()) << "one cycle short of ten bits";
    EXPECT_EQ(LoadAt(100 + frame, kScsr) & (kTdre | kTc), kTdre) << "the second byte shifting now";
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].byte, 0x41);
    EXPECT_EQ(LoadAt(100 + 2 * frame, kScsr) & (kTdre | kTc), kTdre | kTc);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].byte, 0x42);
    EXPECT_EQ(board.Memo1.back(), "uart 42");
  }
}

TEST_F(SciTest, AByteTakesTenBitTimesToArriveAtEachBaudSetting) {
  for (const BaudCase& c : kBauds) {
    SCOPED_TRACE(Format("BAUD $%2.2X", c.baud));
    machine.ResetMachine();
    StoreAt(0, kBaud, c.baud);
    StoreAt(0, kSccr2, 0x04);  // RE
    machine.CycleCount = 50;
    const std::uint8_t byte[] = {0x5A};
    board.InjectMessage(byte);
    const std::int64_t frame = 10 * c.bitCycles;
    EXPECT_EQ(LoadAt(50 + frame - 1, kScsr) & kRdrf, 0);
    EXPECT_EQ(LoadAt(50 + frame, kScsr) & (kRdrf | kIdle), kRdrf);
    EXPECT_EQ(LoadAt(50 + frame, kScdr), 0x5A);
    EXPECT_EQ(LoadAt(50 + frame + 1, kScsr) & kRdrf, 0) << "SCSR then SCDR read clears RDRF";
    EXPECT_EQ(LoadAt(50 + 2 * frame, kScsr) & kIdle, kIdle) << "a frame of idle line";
  }
}

TEST_F(SciTest, AHostBurstArrivesInOrderWithOverrunWhenTheFirmwareReadsTooSlowly) {
  StoreAt(0, kBaud, 0x30);
  StoreAt(0, kSccr2, 0x04);
  const std::int64_t frame = 10 * 16 * 13;
  machine.CycleCount = 0;
  const std::uint8_t burst[] = {'a', 'b', 'c', 'd', 'e', 'f'};
  board.InjectMessage(burst);
  // The firmware reads after each of bytes 1 and 2, then misses c while it is
  // slow, reads d, and misses nothing afterwards.
  struct Read {
    std::int64_t at;
    std::uint8_t status;  // RDRF and OR as SCSR shows them
    std::uint8_t data;
  } const reads[] = {
      {frame + 5, kRdrf, 'a'},           {2 * frame + 5, kRdrf, 'b'},
      {4 * frame + 5, kRdrf | kOr, 'c'},  // d came while c was unread: lost, said by OR
      {5 * frame + 5, kRdrf, 'e'},       {6 * frame + 5, kRdrf, 'f'},
      {7 * frame + 5, 0, 'f'},
  };
  for (const Read& r : reads) {
    SCOPED_TRACE(r.at);
    EXPECT_EQ(LoadAt(r.at, kScsr) & (kRdrf | kOr), r.status);
    EXPECT_EQ(LoadAt(r.at, kScdr), r.data);
  }
  std::vector<std::string> reads_traced;
  for (const std::string& line : hooks.trace)
    if (line.find("uart ") != std::string::npos) reads_traced.push_back(line.substr(line.find("uart ")));
  EXPECT_EQ(reads_traced, (std::vector<std::string>{"uart 61", "uart 62", "uart 63", "uart 65", "uart 66"}));
}

TEST_F(SciTest, MessagesWaitInFrontOfTheLineAndTheLinkHoldsBackWhileOneIsQueued) {
  StoreAt(0, kBaud, 0x00);
  StoreAt(0, kSccr2, 0x04);
  std::vector<std::uint8_t> message(Board::kRxCapacity, 0x33);
  machine.CycleCount = 0;
  EXPECT_FALSE(board.ReceiveBusy());
  board.InjectMessage(message);
  EXPECT_TRUE(board.ReceiveBusy()) << "a whole message waits for the line";
  board.InjectMessage(message);  // still taken: nothing is dropped
  EXPECT_EQ(board.Chip.sci.Backlog(), 2 * Board::kRxCapacity);
  EXPECT_TRUE(hooks.infoLines.empty());
}

TEST_F(SciTest, TheReceiveInterruptDeliversAMessageToTheFirmware) {
  Load(
      "        org $E000\n"
      "start   ldS #$00FF\n"
      "        ldX #$0040\n"
      "        stX $3E\n"
      "        ldA #$30\n"
      "        stA BAUD\n"
      "        ldA #$24\n"  // RIE, RE
      "        stA SCCR2\n"
      "        cli\n"
      "loop    jr loop\n"
      "isr     ldA SCSR\n"
      "        stA $60\n"
      "        ldA SCDR\n"
      "        ldX $3E\n"
      "        stA 0,X\n"
      "        incX\n"
      "        stX $3E\n"
      "        reti\n"
      "        org $FFD6\n"
      "        dw isr\n");
  Run(10);
  const std::uint8_t hello[] = {'H', 'E', 'L', 'L', 'O'};
  board.InjectMessage(hello);
  RunUntil(machine.CycleCount + 6 * 10 * 16 * 13);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&machine.Memory[0x40]), 5), "HELLO");
  EXPECT_EQ(Byte(0x45), 0);
  EXPECT_EQ(Byte(0x60) & (kRdrf | kOr), kRdrf) << "every byte read in time";
}

}  // namespace
}  // namespace hc11::test
