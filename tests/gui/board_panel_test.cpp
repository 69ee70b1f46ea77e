#include "app/gui/board_panel.h"

#include <QPushButton>
#include <QTest>

#include "board/board.h"
#include "tests/gui/gui_fixture.h"

namespace hc11::test {
namespace {

TEST_F(GuiTest, PanelButtonsDriveTheBoardInputs) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  gui::BoardPanel& panel = w.boardPanel();
  Board& board = w.session().board();
  Machine& m = w.session().machine();
  auto button = [&](const char* name) { return panel.findChild<QPushButton*>(name); };

  // "PTT" holds A/D channel 5 at 43 while pressed.
  QTest::mousePress(button("BitBtn4"), Qt::LeftButton);
  EXPECT_EQ(board.AdcInputs[5], 43);
  QTest::mouseRelease(button("BitBtn4"), Qt::LeftButton);
  EXPECT_EQ(board.AdcInputs[5], 255);

  // "M/A" pulls port-A bit 1 low while held.
  QTest::mousePress(button("BitBtn13"), Qt::LeftButton);
  EXPECT_EQ(m.Memory[kPortA] & kPinOnOff, 0);
  QTest::mouseRelease(button("BitBtn13"), Qt::LeftButton);
  EXPECT_EQ(m.Memory[kPortA] & kPinOnOff, kPinOnOff);

  // "Sauv Cfg" puts its byte where the firmware's serial read finds it.
  QTest::mouseClick(button("SvCfg"), Qt::LeftButton);
  EXPECT_EQ(m.MemRead8(kSciData), 0xA9);
}

TEST_F(GuiTest, DemoFirmwareDrivesTheDisplayDuringARun) {
  gui::MainWindow& w = Open("", CopyExample("demo"));
  w.session().machine().StepBudget = 300000;
  Trigger("Executer1");
  const Board& board = w.session().board();
  EXPECT_NE(board.Ecran1.Segments, (std::array<std::uint8_t, 4>{}));
  EXPECT_TRUE(board.Led4MA);
}

}  // namespace
}  // namespace hc11::test
