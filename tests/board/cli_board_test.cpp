#include "app/cli/cli_board.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/board/board_test_support.h"

namespace hc11::test {
namespace {

using cli::BoardOptions;

BoardOptions ParseAll(const std::vector<std::string>& args) {
  BoardOptions options;
  for (std::size_t i = 0; i < args.size();) {
    const auto r = cli::ParseBoardOption(args, i, options);
    EXPECT_EQ(r.error, "");
    if (r.consumed == 0) break;
    i += r.consumed;
  }
  return options;
}

TEST(CliBoardOptions, ParsesOptionsAndRefusesBadValues) {
  const BoardOptions o = ParseAll(
      {"--inject", "Ecr ram", "--ocfreq", "$238F2", "--oc", "--trace-synth", "--dump-eeprom", "$7f0:16"});
  EXPECT_EQ(o.injects, std::vector<BoardCommand>{BoardCommand::EcrRam});
  EXPECT_EQ(o.ocFreq, 145650);
  EXPECT_TRUE(o.oc && o.traceSynth && !o.traceI2c);
  ASSERT_EQ(o.eepromDumps.size(), 1u);
  EXPECT_EQ(o.eepromDumps[0].address, 0x7F0);
  EXPECT_EQ(o.eepromDumps[0].count, 16);

  const std::vector<std::vector<std::string>> bad = {{"--key", "Z"},          {"--key"},
                                                     {"--inject", "Reset"},   {"--signal", "256"},
                                                     {"--signal", "-1"},      {"--ocfreq", "abc"},
                                                     {"--ocfreq", "-1"},      {"--dump-eeprom", "7f0:17"},
                                                     {"--dump-eeprom", "10"}, {"--dump-eeprom", "10:0"}};
  for (const auto& args : bad) {
    BoardOptions ignored;
    EXPECT_NE(cli::ParseBoardOption(args, 0, ignored).error, "") << args[0];
  }
  BoardOptions ignored;
  const auto other = cli::ParseBoardOption({"--dump", "0:1"}, 0, ignored);
  EXPECT_EQ(other.consumed, 0u);
  EXPECT_EQ(other.error, "");
}

class CliBoardTest : public BoardTest {
 protected:
  // The run command's order: options the reset reads, the load's reset, the rest.
  std::string Load(const BoardOptions& o) {
    cli::SetBoardTraces(board, o);
    for (const PanelInput& input : cli::PanelInputsBeforeLoad(o)) board.Apply(input);
    machine.ResetMachine();
    if (std::string error = cli::LoadEepromImage(board, o); !error.empty()) return error;
    for (const PanelInput& input : cli::PanelInputsAfterLoad(o)) board.Apply(input);
    return {};
  }
};

TEST_F(CliBoardTest, InputsSurviveTheLoad) {
  EXPECT_EQ(
      Load(ParseAll({"--key", "PTT", "--key", "M/A", "--signal", "12", "--oc", "--inject", "Sauv Cfg"})), "");
  EXPECT_EQ(board.AdcInputs[5], 43);
  EXPECT_EQ(board.AdcInputs[6], 12);
  EXPECT_EQ(machine.Memory[kPortA] & (kPinOnOff | kPinChannelBusy), kPinChannelBusy);
  EXPECT_EQ(machine.MemRead8(kSciData), 0xA9);
}

TEST_F(CliBoardTest, EepromImageMustHoldExactly2048Bytes) {
  const auto dir = std::filesystem::path(testing::TempDir()) / "cli_board_eeprom";
  std::filesystem::create_directories(dir);
  BoardOptions o;
  for (std::size_t n : {0u, 100u, 2049u, 2048u}) {  // 0: no file at all
    SCOPED_TRACE(n);
    o.eepromFile = (dir / ("image" + std::to_string(n))).string();
    if (n > 0) std::ofstream(o.eepromFile, std::ios::binary) << std::string(n, '\x77');
    EXPECT_EQ(Load(o).empty(), n == 2048);
    EXPECT_EQ(board.EepromImage[0], n == 2048 ? 0x77 : 5);
  }
  std::filesystem::remove_all(dir);
}

// The panel lines' layout is pinned by the run command's golden files; here
// the memo and EEPROM dumps split into lines of 16.
TEST_F(CliBoardTest, PanelPrintoutEndsWithMemoAndDumps) {
  I2cMaster(machine).Frame({0xA0, 0x0E, 0x11, 0x22, 0x33});
  machine.MemWrite8(kSciData, 0x41, TagData);
  machine.MemWrite8(kSciData, 0xFE, TagData);
  std::ostringstream out;
  cli::PrintPanel(board, ParseAll({"--dump-eeprom", "8:18", "--dump-eeprom", "0x7ff:1"}), out);
  const std::string text = out.str();
  EXPECT_EQ(text.substr(text.find("memo:")),
            "memo: uart 41\n"
            "memo: uart fe\n"
            "0008   00 02 50 01 00 00 11 22 33 00 00 00 00 00 00 00\n"
            "0018   00 00\n"
            "07ff   00\n");
}

}  // namespace
}  // namespace hc11::test
