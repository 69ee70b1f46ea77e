#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/board/board_test_support.h"

namespace hc11::test {
namespace {

using PanelTest = BoardTest;

TEST_F(PanelTest, KeysAndSignalLevelReachTheResultRegisters) {
  struct Expected {
    const char* caption;
    int channel;
    int level;
  };
  // The board's keypad, as wired: two keys per channel 0-4, three on 5.
  const Expected keys[] = {
      {"C-", 4, 253}, {"C+", 3, 1},  {"F-", 3, 253},   {"PTT", 5, 43}, {"F+", 2, 1},     {"+", 1, 1},
      {"-", 2, 253},  {"#", 5, 111}, {"1700", 1, 253}, {"Menu", 0, 1}, {"Memo", 0, 253}, {"*", 5, 188},
  };
  for (const Expected& key : keys) {
    SCOPED_TRACE(key.caption);
    const auto index = FindKeypadKey(key.caption);
    ASSERT_TRUE(index.has_value());
    board.PressKey(*index);
    EXPECT_EQ(ReadChannel(key.channel), key.level);
    EXPECT_EQ(machine.Memory[0x1031 + key.channel % 4], key.level);
    board.ReleaseKey(*index);
    EXPECT_EQ(ReadChannel(key.channel), key.channel == 5 ? 255 : 128);
  }
  EXPECT_EQ(ReadChannel(6), 40);
  board.SetNiveauSignal(300);
  EXPECT_EQ(ReadChannel(6), 255);
  board.SetNiveauSignal(77);
  board.AdcInputs[7] = 9;
  board.PressKey(*FindKeypadKey("*"));
  machine.ResetMachine();  // keys released, signal level and channel 7 kept
  const std::uint8_t idle[8] = {128, 128, 128, 128, 128, 255, 77, 9};
  for (int ch = 0; ch < 8; ++ch) EXPECT_EQ(ReadChannel(ch), idle[ch]) << "channel " << ch;
}

TEST_F(PanelTest, PortAInputsAndOutputLabel) {
  board.PressOnOff();
  EXPECT_EQ(machine.Memory[kPortA], 0x00);
  board.ReleaseOnOff();
  EXPECT_EQ(machine.Memory[kPortA], kPinOnOff);
  board.SetCbOC(true);
  machine.ResetMachine();  // the reset applies the switch again
  EXPECT_EQ(machine.Memory[kPortA], kPinOnOff | kPinChannelBusy);

  I2cMaster port(machine);
  const std::pair<std::uint8_t, const char*> steps[] = {{0x30, " bStop bSonnerie"},
                                                        {0x30, " bStop bSonnerie"},
                                                        {0x12, " bStop"},
                                                        {0x22, " bSonnerie"},
                                                        {0x02, ""}};
  for (const auto& [value, label] : steps) {
    port.Write(value);
    EXPECT_EQ(board.LbOutA, label) << int(value);
  }
}

TEST_F(PanelTest, ResetBlanksDisplayAndMemoAndLoadsEepromDefaults) {
  const std::uint8_t header[12] = {5, 0x2D, 0x90, 5, 1, 6, 2, 0, 0, 2, 0x50, 1};
  EXPECT_TRUE(std::equal(header, header + 12, board.EepromImage.begin()));
  EXPECT_EQ(board.EepromImage[355] * 256 + board.EepromImage[356], 0x100);
  EXPECT_EQ(board.EepromImage[530] * 256 + board.EepromImage[531], 0x30F0);  // tenth word

  board.EepromImage[1000] = 0x42;
  board.Ecran1.DrawDigit(2, 0x3F);
  board.UartTransmit(0x41);
  machine.ResetMachine();
  EXPECT_EQ(board.EepromImage[1000], 0x42);  // bytes without a default survive
  EXPECT_EQ(board.Ecran1.Segments[2], 0);
  EXPECT_EQ(board.Ecran1.Caption, std::string(28, ' '));
  EXPECT_TRUE(board.Memo1.empty());
}

// Only a complete image replaces the defaults: half a file would mix the two.
TEST_F(PanelTest, EepromImageFileReplacesDefaultsOnlyForMatchingProgramPaths) {
  const auto dir = std::filesystem::path(testing::TempDir()) / "board_eeprom_file";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "full.bin", std::ios::binary) << std::string(2048, '\xEE');
  std::ofstream(dir / "half.bin", std::ios::binary) << std::string(1024, '\xEE');
  struct Case {
    const char *listingBase, *file;
    bool replaced, complaint;
  };
  for (const Case& c :
       {Case{"/prog/lab", "full.bin", true, false}, Case{"b/prog", "full.bin", false, false},
        Case{"/prog/LAB", "full.bin", false, false}, Case{"/prog/lab", "half.bin", false, true},
        Case{"/prog/lab", "none.bin", false, false}}) {
    SCOPED_TRACE(testing::Message() << c.listingBase << " " << c.file);
    messages.shown.clear();
    board.EepromImage[2047] = 0;
    board.ListingBase = c.listingBase;
    board.EepromFileName = (dir / c.file).string();
    machine.ResetMachine();
    EXPECT_EQ(board.EepromImage[0], c.replaced ? 0xEE : 5);
    EXPECT_EQ(board.EepromImage[2047], c.replaced ? 0xEE : 0);
    EXPECT_EQ(messages.shown.size(), c.complaint ? 1u : 0u);
  }
  std::filesystem::remove_all(dir);
}

// 1230250 / 4 = 307562.5: the half goes to the even neighbour.
TEST_F(PanelTest, ToneRegisterSoundsTheDividedClock) {
  for (auto [divisor, hz] : {std::pair{4, 307562}, std::pair{0, 0}}) {
    hooks.beeps.clear();
    machine.MemWrite16(0x0017, static_cast<std::uint16_t>(divisor));
    machine.MemWrite16(kToneRegister, 0x1234);
    machine.MemWrite16(0x1018, 0x1234);  // a neighbour is silent
    EXPECT_EQ(hooks.beeps.size(), hz == 0 ? 0u : 1u) << divisor;
    if (hz != 0) {
      EXPECT_EQ(hooks.beeps[0], std::pair(hz, 100));
    }
  }
}

TEST_F(PanelTest, TypedReadsAndTheirWarnings) {
  std::vector<std::string> output;
  board.ProgramOutput = [&](std::string_view text) { output.emplace_back(text); };
  board.AdcInputs[7] = 0x11;
  machine.CodeEnd = 0xE010;
  machine.Memory[0xE00F] = 0x86;
  machine.Memory[0x0040] = 0x5C;
  struct Case {
    std::uint16_t address;
    char type;
    std::uint8_t expected;
    const char* warning;
  };
  const Case cases[] = {{7, 'A', 0x11, nullptr},      {8, 'A', 0x99, " Err.depasse TbCan"},
                        {0xE00F, 'C', 0x86, nullptr}, {0xE010, 'C', 0x55, " Err.pcsu<long_code"},
                        {0x0040, 'I', 0x5C, nullptr}, {0x0040, '2', 0x99, nullptr},
                        {0x0040, 'Z', 0x00, nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.type << " " << c.address);
    messages.shown.clear();
    EXPECT_EQ(board.ReadTyped(c.address, c.type, 0x99), c.expected);
    ASSERT_EQ(messages.shown.size(), c.warning ? 1u : 0u);
    if (c.warning) {
      EXPECT_EQ(messages.shown[0].text, c.warning);
    }
  }
  EXPECT_EQ(output, std::vector<std::string>{" I2C interdit en normal"});
}

}  // namespace
}  // namespace hc11::test
