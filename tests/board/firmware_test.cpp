// Small programs run by the run engine, so the devices see port A exactly as
// the firmware's stores and the engine's port snapshots leave it.
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "core/run_engine.h"
#include "core/text_util.h"
#include "tests/board/board_test_support.h"

namespace hc11::test {
namespace {

class FirmwareTest : public BoardTest {
 protected:
  static constexpr std::uint16_t kOrigin = 0xE000;

  void Emit(std::initializer_list<std::uint8_t> bytes) { program.insert(program.end(), bytes); }
  // ldA #v ; stA $1000
  void StorePortA(std::uint8_t v) { Emit({0x86, v, 0xB7, 0x10, 0x00}); }

  // Loads the program, stops on a breakpoint after its last instruction and
  // runs it; `afterLoad` plays the user's part between load and run.
  void Run(const std::function<void()>& afterLoad = {}) {
    const std::uint16_t end = static_cast<std::uint16_t>(kOrigin + program.size());
    std::copy(program.begin(), program.end(), machine.Memory.begin() + kOrigin);
    machine.CodeEnd = end;
    machine.StartPC = kOrigin;
    machine.ClearWriteTags();
    machine.ResetMachine();
    machine.RunMode = kModeStop;
    if (afterLoad) afterLoad();
    machine.tInst[end] = 2;
    RunCommand(machine, kModeRun, false);
    EXPECT_EQ(machine.cpu.PC, end) << machine.StopMessage;
  }

  // The port-A stores of a write frame as a dry run of the bus helper makes them.
  std::vector<std::uint8_t> FrameStores(std::initializer_list<std::uint8_t> bytes) {
    Machine dryMachine;
    SilentMessages quiet;
    Board dryBoard(dryMachine, quiet);
    dryMachine.ResetMachine();
    dryMachine.PrevPortA = dryMachine.Memory[kPortA];
    std::vector<std::uint8_t> stores;
    I2cMaster(dryMachine, &stores).Frame(bytes);
    return stores;
  }

  std::vector<std::uint8_t> program;
};

TEST_F(FirmwareTest, StoresAndLoadsReachEveryDevice) {
  for (const auto& frame :
       {FrameStores({0x76, 0x01, 0x86, 0x3F}), FrameStores({0x40, 0x88}), FrameStores({0xA4, 0x42, 0x99})})
    for (std::uint8_t v : frame) StorePortA(v);
  StorePortA(0x30);
  for (int i = 0; i < 2; ++i) Emit({0xB6, 0x10, 0x2F, 0xB7, 0x10, 0x2F});  // ldA $102F ; stA $102F
  Emit({0xCC, 0x03, 0xE8, 0xDD, 0x17, 0xFD, 0x10, 0x1A});                  // ldD #1000 ; stD $17 ; stD $101A
  Emit({0xC6, 0x00, 0xF7, 0x10, 0x30, 0xB6, 0x10, 0x31, 0xB7, 0x00, 0x40});  // A/D channel 0 into $40
  Run([&] {
    board.PressCommand(BoardCommand::LecE2P);
    board.PressKey(*FindKeypadKey("Memo"));
  });
  EXPECT_EQ(board.Ecran1.Segments[3], 0x86);
  EXPECT_TRUE(board.Led1Ton);
  EXPECT_EQ(board.LbPcf8574, "Pcf8574=88");
  EXPECT_EQ(board.EepromImage[0x242], 0x99);
  EXPECT_EQ(board.LbOutA, " bStop bSonnerie");
  EXPECT_EQ(board.Memo1, (std::deque<std::string>{"uart a6", "uart 03"}));
  EXPECT_EQ(hooks.beeps, (std::vector<std::pair<int, int>>{{1230, 100}}));
  EXPECT_EQ(machine.Memory[0x40], 253);
}

// A firmware that transmits in a loop: the memo keeps the newest 3001 lines,
// in order, and counts every line added for the views.
TEST_F(FirmwareTest, TransmittingInALoopKeepsTheNewestLines) {
  Emit({0x4C, 0xB7, 0x10, 0x2F, 0x20, 0xFA});  // incA ; stA $102F ; bra -6
  const std::uint16_t origin = kOrigin;
  std::copy(program.begin(), program.end(), machine.Memory.begin() + origin);
  machine.CodeEnd = static_cast<std::uint16_t>(origin + program.size());
  machine.StartPC = origin;
  machine.ClearWriteTags();
  machine.ResetMachine();
  constexpr int kSent = 5000;
  machine.StepBudget = 3 * kSent;
  RunCommand(machine, kModeRun, false);
  ASSERT_EQ(board.Memo1.size(), Board::kMemoLines);
  EXPECT_EQ(board.MemoAdded, static_cast<std::uint64_t>(kSent));
  const int firstKept = kSent - static_cast<int>(Board::kMemoLines) + 1;  // A counts from 1
  EXPECT_EQ(board.Memo1.front(), Format("uart %2.2x", firstKept & 0xFF));
  EXPECT_EQ(board.Memo1.back(), Format("uart %2.2x", kSent & 0xFF));
  board.ClearMemo();
  EXPECT_TRUE(board.Memo1.empty());
  EXPECT_EQ(board.MemoAdded, static_cast<std::uint64_t>(kSent));
}

}  // namespace
}  // namespace hc11::test
