#include <gtest/gtest.h>

#include "tests/board/board_test_support.h"

namespace hc11::test {
namespace {

using UartTest = BoardTest;

// Reads $102F until a read finds the message exhausted (that read excluded).
std::vector<std::uint8_t> ReadMessage(Machine& m) {
  std::vector<std::uint8_t> bytes;
  while ((m.Memory[kSciStatus] & 0x28) != 0 && bytes.size() <= Board::kRxCapacity + 1)
    bytes.push_back(m.MemRead8(kSciData));
  bytes.pop_back();
  return bytes;
}

TEST_F(UartTest, CommandMessagesAreReadByteByByteThenStatusClears) {
  EXPECT_EQ(machine.Memory[kSciStatus], 0x80);
  board.PressCommand(BoardCommand::LecE2P);
  EXPECT_EQ(machine.Memory[kSciStatus], 0xA8);
  for (std::uint8_t expected : {0xA6, 0x03, 0x20, 0x05}) EXPECT_EQ(machine.MemRead8(kSciData), expected);
  EXPECT_EQ(machine.Memory[kSciStatus], 0xA8);
  EXPECT_EQ(machine.MemRead8(kSciData), 0x05);  // exhausted: the last byte again
  EXPECT_EQ(machine.Memory[kSciStatus], 0x80);
  EXPECT_EQ(EventTexts(), (std::vector<std::string>{"uart a6", "uart 03", "uart 20", "uart 05"}));

  std::vector<std::uint8_t> e2p{0xA5, 0x03, 0x20, 0x10}, ram{0xA4, 0x08, 0x00, 0x10};
  for (std::uint8_t i = 0; i <= 0x12; ++i) e2p.push_back(i), ram.push_back(i);
  const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
      {"EcrE2P", e2p}, {"Ecr ram", ram}, {"Rest Cfg", {0xA8}}, {"Sauv Cfg", {0xA9}}};
  for (const auto& [caption, bytes] : cases) {
    board.PressCommand(*FindCommand(caption));
    EXPECT_EQ(ReadMessage(machine), bytes) << caption;
  }
  board.InjectMessage(std::vector<std::uint8_t>(300, 0x5A));
  EXPECT_EQ(ReadMessage(machine), std::vector<std::uint8_t>(Board::kRxCapacity, 0x5A));
}

// Characters that do not fit are reported rather than lost quietly.
TEST_F(UartTest, HostTextIsBoundedAndEveryLossIsReported) {
  board.HostReceive(std::string(300, 'x'));
  EXPECT_EQ(board.HostRxText.size(), 254u);
  EXPECT_EQ(hooks.infoLines, std::vector<std::string>{"err ComPortRxChar >254"});

  board.HostReceive("abcdef");  // only one character still fits
  EXPECT_EQ(board.HostRxText.size(), 255u);
  EXPECT_EQ(board.HostRxText.back(), 'a');
  EXPECT_EQ(hooks.infoLines.size(), 2u);

  board.RunStarted();
  board.HostReceive("ok\n");
  EXPECT_EQ(board.HostRxText, "ok\n");
  EXPECT_EQ(hooks.infoLines.size(), 2u);
}

}  // namespace
}  // namespace hc11::test
