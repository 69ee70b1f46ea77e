#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "app/gui/dump_window.h"
#include "app/gui/flow_view.h"
#include "flowchart/view/interaction.h"
#include "tests/gui/gui_fixture.h"

namespace hc11::test {
namespace {

TEST_F(GuiTest, RegisterPromptSetsTheRegisterOrLeavesIt) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  auto* labelPC = w.findChild<QLabel*>("LabelPC");
  messages.answer = "1000";
  QTest::mouseClick(labelPC, Qt::LeftButton);
  ASSERT_EQ(messages.prompts.size(), 1u);
  EXPECT_EQ(messages.prompts[0], "Saisir registre |PC=$E000=57344|E000");
  EXPECT_EQ(w.session().machine().cpu.PC, 0x1000);
  EXPECT_EQ(Label("LabelPC"), "PC=1000");

  messages.answer = "zz";  // not hexadecimal
  QTest::mouseClick(labelPC, Qt::LeftButton);
  messages.answer.reset();  // cancelled
  QTest::mouseClick(labelPC, Qt::LeftButton);
  EXPECT_EQ(w.session().machine().cpu.PC, 0x1000);
}

TEST_F(GuiTest, DumpWindowShowsTheChosenMemory) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  gui::DumpWindow& dump = w.dumpWindow();
  auto* address = dump.findChild<QLineEdit*>("AdrDump");
  auto* ok = dump.findChild<QPushButton*>("Ok");

  address->setText("E000");
  QTest::mouseClick(ok, Qt::LeftButton);
  QStringList lines = dump.Lines();
  ASSERT_EQ(lines.size(), 16);
  EXPECT_TRUE(lines[0].startsWith("e000   8E 00 FF CE 00 00 4F C6 03 8B 01 97 10 5A 26 F9"))
      << lines[0].toStdString();

  dump.SetChoice(1);  // "Eprom16kb": nothing beyond $07FF
  address->setText("07F0");
  QTest::mouseClick(ok, Qt::LeftButton);
  lines = dump.Lines();
  ASSERT_EQ(lines.size(), 16);
  EXPECT_TRUE(lines[0].startsWith("07f0   "));
  EXPECT_EQ(lines[1], "0800  ");
  EXPECT_EQ(lines[15], "0800  ");

  address->setText("1FFFF");  // refused: the dump of the last good address stays
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(dump.Lines(), lines);
  EXPECT_EQ(dump.Address(), "07F0");
  EXPECT_FALSE(messages.shown.empty());

  // The choice is saved with the settings.
  ASSERT_TRUE(w.close());
  EXPECT_EQ(Open("").dumpWindow().Choice(), 1);
}

TEST_F(GuiTest, StackViewShowsTheReturnAddressAndClimbsBackOnDoubleClick) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  for (int i = 0; i < 17; ++i) Trigger("Step7");  // into "compte"
  ASSERT_EQ(w.session().machine().cpu.PC, 0xE014);
  w.findChild<QRadioButton*>("RbStack")->click();
  auto* stack = w.findChild<QListWidget*>("MemoStack");
  ASSERT_EQ(stack->count(), 1);
  EXPECT_TRUE(stack->item(0)->text().startsWith("e012 00fd debprog_"))
      << stack->item(0)->text().toStdString();

  emit stack->itemDoubleClicked(stack->item(0));
  EXPECT_EQ(w.session().machine().cpu.PC, 0xE012);
  EXPECT_EQ(stack->count(), 0);
}

TEST_F(GuiTest, RunToCursorStopsAtTheClickedLine) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  Trigger("Jusquaucurseur");  // no line selected: no run
  EXPECT_EQ(w.session().machine().cpu.PC, 0xE000);

  const Flowchart& sheet = w.flowPane().Sheet();
  const AddressLine at = FindAddressLine(sheet, 0xE00D);
  ASSERT_NE(at.box, 0);
  const TRectangle& box = sheet.Boxes[at.box];
  const int row = box.Haut / static_cast<int>(box.Lignes.size());
  auto* view = w.findChild<gui::FlowView*>("PaintBox1");
  QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(box.Rect.Left + 20, box.Rect.Top + row * at.line + 2));
  Trigger("Jusquaucurseur");
  EXPECT_EQ(Label("Cas_Break"), "Break F4");
  EXPECT_EQ(w.session().machine().cpu.PC, 0xE00D);
}

TEST_F(GuiTest, ValueHintNamesTheRegistersOfTheLineUnderThePointer) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  const Flowchart& sheet = w.flowPane().Sheet();
  const AddressLine at = FindAddressLine(sheet, 0xE009);  // A = A + #1
  ASSERT_NE(at.box, 0);
  const TRectangle& box = sheet.Boxes[at.box];
  const int row = box.Haut / static_cast<int>(box.Lignes.size());
  auto* view = w.findChild<gui::FlowView*>("PaintBox1");
  // Straight to the view: on a first start the board panel floats over a
  // corner of the flowchart, and a pointer moved there would reach the panel.
  auto moveTo = [view](QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view, &move);
  };
  moveTo(QPoint(box.Rect.Left + 20, box.Rect.Top + row * at.line + 2));
  auto* hint = w.findChild<QLabel*>("Label1");
  EXPECT_TRUE(hint->isVisible());
  EXPECT_TRUE(hint->text().startsWith("E009 ")) << hint->text().toStdString();
  EXPECT_TRUE(hint->text().contains("A=$00=0")) << hint->text().toStdString();

  moveTo(QPoint(1, 1));  // beside every box
  EXPECT_FALSE(hint->isVisible());
}

}  // namespace
}  // namespace hc11::test
