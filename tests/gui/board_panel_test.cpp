#include "app/gui/board_panel.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <utility>

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
  m.Memory[kAdcControl] = 0x04;       // channels 4-7
  EXPECT_EQ(m.MemRead8(0x1032), 43);  // the result register of channel 5
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

TEST_F(GuiTest, DemoFirmwareAnswersTheButtonsAndDrivesTheDisplay) {
  gui::MainWindow& w = Open("", CopyExample("demo"));
  QTest::mouseClick(w.boardPanel().findChild<QPushButton*>("Button1"), Qt::LeftButton);  // "LecE2P"
  w.session().machine().StepBudget = 300000;
  Trigger("Executer1");
  const Board& board = w.session().board();
  EXPECT_NE(board.Ecran1.Segments, (std::array<std::uint8_t, 4>{}));
  EXPECT_TRUE(board.Led4MA);
  // The firmware read the command and answered it; the panel shows the reply.
  EXPECT_NE(std::find(board.Memo1.begin(), board.Memo1.end(), "uart a6"), board.Memo1.end());
  EXPECT_TRUE(w.boardPanel().findChild<QPlainTextEdit*>("Memo1")->toPlainText().contains("uart a6"));
}

// The memo follows the board's capped list through appends, overflow and
// clearing, and never holds more than the board keeps.
TEST_F(GuiTest, MemoShowsTheNewestLinesAsTheyArrive) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  gui::BoardPanel& panel = w.boardPanel();
  Board& board = w.session().board();
  auto* memo = panel.findChild<QPlainTextEdit*>("Memo1");
  auto expected = [&] {
    QStringList lines;
    for (const std::string& line : board.Memo1) lines << QString::fromStdString(line);
    return lines.join('\n');
  };
  int sent = 0;
  for (const int burst : {3, 1, 2500, 600, 4000, 1}) {
    for (int i = 0; i < burst; ++i) board.UartTransmit(static_cast<std::uint8_t>(sent++));
    panel.Refresh();
    SCOPED_TRACE(sent);
    EXPECT_EQ(memo->toPlainText(), expected());
    EXPECT_LE(memo->blockCount(), static_cast<int>(Board::kMemoLines));
  }
  // During a run a flood shows its newest lines; the end of the run shows all.
  panel.SetRunning(true);
  const auto told = std::exchange(board.OnPanelChange, nullptr);  // a run repaints on its own clock
  for (int i = 0; i < 1000; ++i) board.UartTransmit(static_cast<std::uint8_t>(sent++));
  panel.Refresh();
  EXPECT_LT(memo->blockCount(), 1000);
  EXPECT_TRUE(memo->toPlainText().endsWith(QString::fromStdString(board.Memo1.back())));
  board.UartTransmit(0x42);
  panel.Refresh();
  EXPECT_TRUE(memo->toPlainText().endsWith("uart 42"));
  panel.SetRunning(false);
  board.OnPanelChange = told;
  EXPECT_EQ(memo->toPlainText(), expected());

  QTest::mouseDClick(memo->viewport(), Qt::LeftButton);
  panel.Refresh();
  EXPECT_TRUE(board.Memo1.empty());
  EXPECT_EQ(memo->toPlainText(), "");
  board.UartTransmit(0x41);
  panel.Refresh();
  EXPECT_EQ(memo->toPlainText(), "uart 41");
}

}  // namespace
}  // namespace hc11::test
