// The breakpoint and watch lists with their dialogs, the flowchart popup and
// the navigation commands, on the demo, with the dialogs replaced.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "app/gui/find_box.h"
#include "flowchart/view/interaction.h"
#include "tests/gui/gui_fixture.h"

namespace hc11::test {
namespace {

class WorkListTest : public GuiTest {
 protected:
  gui::MainWindow& OpenDemo() {
    gui::MainWindow& w = Open(CopyExample("demo"));
    w.RunBreakDialog = [this](BreakDialog& d) {
      d = breakAnswer;
      return true;
    };
    w.RunWatchDialog = [this](WatchDialog& d) {
      d = watchAnswer(d);
      return true;
    };
    return w;
  }
  QListWidget& List(const char* name) { return *window->findChild<QListWidget*>(name); }
  QStringList Lines(const char* name) {
    QStringList out;
    for (int i = 0; i < List(name).count(); ++i) out << List(name).item(i)->text();
    return out;
  }
  Colour Mark(std::uint16_t address) { return window->flowPane().Display().LineColorHook(address); }
  // Moves the pointer over the line of `address` in the shown sheet.
  void HoverLine(std::uint16_t address) {
    Flowchart& sheet = window->flowPane().Sheet();
    const AddressLine at = FindAddressLine(sheet, address);
    ASSERT_NE(at.box, 0) << std::hex << address;
    const TRectangle& b = sheet.Boxes[at.box];
    const int row = b.Haut / static_cast<int>(b.Lignes.size());
    window->HoverAt(b.Rect.Left + b.LargLabel + 4, b.Rect.Top + at.line * row + row / 2);
  }
  QAction* Popup(const char* name) {
    window->FlowPopupMenu();
    return window->Action(QString("PopupMenu2.") + name);
  }

  BreakDialog breakAnswer;
  std::function<WatchDialog(WatchDialog)> watchAnswer = [](WatchDialog d) { return d; };
};

TEST_F(WorkListTest, BreakpointMadeInTheDialogStopsTheRunAndMarksItsLine) {
  gui::MainWindow& w = OpenDemo();
  breakAnswer = {"nom", "E030", "C", 1};
  Trigger("ListBreak1.Nouveau1");
  EXPECT_EQ(Lines("ListBreak1"), QStringList{"e030 C inactif  nom"});

  // A bad address is reported and the entry keeps its old one.
  breakAnswer = {"debut", "G1", "C", 2};
  List("ListBreak1").setCurrentRow(0);
  Trigger("ListBreak1.Editer1");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(w.breakpoints().entries()[0].address, 0xE030);
  EXPECT_EQ(w.breakpoints().entries()[0].name, "nom");

  breakAnswer = {"debut", "E02D", "C", 2};
  emit List("ListBreak1").itemDoubleClicked(List("ListBreak1").item(0));
  EXPECT_EQ(Lines("ListBreak1"), QStringList{"e02d C Break    debut"});
  EXPECT_EQ(Mark(0xE02D), kRed);
  Trigger("Executer1");
  EXPECT_EQ(w.session().machine().cpu.PC, 0xE02D);
  EXPECT_EQ(Label("Cas_Break"), "Break e02d C Break    debut");

  // The Delete key removes it, and the line's mark with it.
  List("ListBreak1").setCurrentRow(0);
  QTest::keyClick(&List("ListBreak1"), Qt::Key_Delete);
  EXPECT_TRUE(Lines("ListBreak1").isEmpty());
  EXPECT_EQ(Mark(0xE02D), kWhite);
}

TEST_F(WorkListTest, RamWriteBreakpointFromTheDialogStopsTheRun) {
  gui::MainWindow& w = OpenDemo();
  breakAnswer = {"leds", "0006", "I", 2};
  Trigger("ListBreak1.Nouveau1");
  EXPECT_EQ(Lines("ListBreak1"), QStringList{"0006 I Break    leds"});
  Trigger("Executer1");
  EXPECT_EQ(w.session().machine().Memory[0x0006], 0x01);  // stA leds ran, then the run stopped
  EXPECT_EQ(w.session().machine().cpu.PC, 0xE041);
  EXPECT_FALSE(Label("Cas_Break").isEmpty());
}

TEST_F(WorkListTest, PopupBreakEditCyclesTheStateOfTheHoveredLine) {
  gui::MainWindow& w = OpenDemo();
  HoverLine(0xE02D);
  EXPECT_EQ(Popup("BreakEdit1")->text(), "Break edit: ");
  EXPECT_FALSE(Popup("BreakSupprimer1")->isEnabled());
  QStringList captions;
  for (int i = 0; i < 3; ++i) {
    Popup("BreakEdit1")->trigger();
    captions << Lines("ListBreak1").join("|");
    EXPECT_EQ(w.runControl().Pane, RightPane::Break);
  }
  EXPECT_EQ(captions, (QStringList{"e02d C Break    debprog_", "e02d C Trace    debprog_",
                                   "e02d C inactif  debprog_"}));
  EXPECT_EQ(Popup("BreakEdit1")->text(), "Break edit: inactif");
  EXPECT_EQ(Mark(0xE02D), 0x808080u);
  ASSERT_TRUE(Popup("BreakSupprimer1")->isEnabled());
  Popup("BreakSupprimer1")->trigger();
  EXPECT_TRUE(Lines("ListBreak1").isEmpty());
  EXPECT_EQ(Mark(0xE02D), kWhite);
}

TEST_F(WorkListTest, PopupCaptionsFollowTheHoveredSymbol) {
  gui::MainWindow& w = OpenDemo();
  HoverLine(0xE012);  // [BAUD+X] = #$30: a register, no variable
  EXPECT_FALSE(w.Hover().has_value());
  EXPECT_EQ(Popup("Surveiller1")->text(), "Surveiller");
  EXPECT_FALSE(Popup("Surveiller1")->isEnabled());
  EXPECT_EQ(Popup("ChercherR1")->text(), "Chercher R....");
  EXPECT_EQ(Popup("Edit1")->text(), "Editer R");
  EXPECT_EQ(Popup("Chercher")->text(), "Chercher");  // no line selected
  EXPECT_FALSE(Popup("Continuerjusqua1")->isEnabled());
  EXPECT_EQ(Label("Label1"), "E012 [BAUD+X] = #$30 : ");

  HoverLine(0xE03D);  // leds = #LED_POWER
  ASSERT_TRUE(w.Hover().has_value());
  EXPECT_EQ(w.Hover()->name, "leds");
  EXPECT_TRUE(Label("Label1").contains("leds [0006]=$"));
  EXPECT_EQ(Popup("Surveiller1")->text(), "Surveiller \"leds \"");
  EXPECT_EQ(Popup("Tracer1")->text(), "Tracer \"leds \"");
  EXPECT_EQ(Popup("Edit1")->text(), "Editer \"leds \"");

  Popup("Surveiller1")->trigger();
  ASSERT_EQ(w.watches().entries().size(), 1u);
  EXPECT_TRUE(Lines("ListBoxSurv").front().startsWith("I  leds          6="));
  Popup("Tracer1")->trigger();
  EXPECT_EQ(Lines("ListBreak1"), QStringList{"0006 m Trace    leds"});

  // "Edit" writes the byte the prompt returns.
  messages.answer = "$5A";
  Popup("Edit1")->trigger();
  ASSERT_EQ(messages.prompts.size(), 1u);
  EXPECT_EQ(messages.prompts[0], "Saisir registre |leds|$0000");
  EXPECT_EQ(w.session().machine().Memory[0x0006], 0x5A);
}

TEST_F(WorkListTest, PopupSearchPromptsUnlessTheWordHasFiveCharacters) {
  gui::MainWindow& w = OpenDemo();
  auto* list = w.findChild<QTreeWidget*>("ListView1");
  HoverLine(0xE03D);  // leds: four characters, so the prompt opens
  messages.answer = "leds";
  Popup("ChercherR1")->trigger();
  ASSERT_EQ(messages.prompts.size(), 1u);
  EXPECT_EQ(messages.prompts[0], "Chercher|Invite|leds");
  ASSERT_GT(list->topLevelItemCount(), 0);
  EXPECT_TRUE(list->topLevelItem(0)->text(0).contains("leds"));
  EXPECT_EQ(w.runControl().Pane, RightPane::Liste);

  // The selected line's statement "A = 0" has five characters: no prompt.
  messages.prompts.clear();
  Machine& m = w.session().machine();
  w.flowPane().ShowAddress(0xE04B, m.cpu.PC, m.RunTarget);
  EXPECT_EQ(Popup("Chercher")->text(), "Chercher \"A = 0 \"");
  EXPECT_EQ(Popup("Continuerjusqua1")->text(), "Continuer jusqu'a E04B  \"A = 0 \"");
  Popup("Chercher")->trigger();
  EXPECT_TRUE(messages.prompts.empty());
  ASSERT_GT(list->topLevelItemCount(), 0);
  EXPECT_EQ(list->topLevelItem(0)->text(0), "A = 0");
}

TEST_F(WorkListTest, WatchDialogFormatsWritesAndInitialValues) {
  gui::MainWindow& w = OpenDemo();
  Machine& m = w.session().machine();
  Trigger("ListBoxSurv.nouveau1");
  EXPECT_EQ(Lines("ListBoxSurv"),
            QStringList{QString("I  nom           0=") + QString(" %1").arg(m.Memory[0], 4, 16)});

  struct Case {
    int format, bytes, elements;
    std::array<std::uint8_t, 3> memory;
    std::string value;  // typed into Valeur2 when not empty
    QString line;
  };
  const Case cases[] = {
      {FmtBits, 1, 3, {1, 0, 5}, "", "I  var         200= 1 0 1"},
      {FmtHex, 2, 2, {0, 0, 0}, "1234 5678", "I  var         200=     1234     5678"},
      {FmtDecimal, 1, 2, {0, 0, 0}, "7 200", "I  var         200=   7 200"},
      {FmtSigned, 2, 1, {0xFF, 0xFE, 0}, "", "I  var         200=  -2"},
      {FmtSigned, 1, 1, {0xFF, 0, 0}, "", "I  var         200= 255"},
      {FmtString, 1, 3, {0x41, 0, 0x42}, "", "I  var         200=A! 0!B"},
  };
  for (const Case& c : cases) {
    std::copy(c.memory.begin(), c.memory.end(), m.Memory.begin() + 0x200);
    watchAnswer = [&](WatchDialog d) {
      d.name = "var";
      d.address = "0200";
      d.format = c.format;
      d.bytesPer = c.bytes;
      d.elements = c.elements;
      d.value = c.value;
      d.valueModified = !c.value.empty();
      return d;
    };
    List("ListBoxSurv").setCurrentRow(0);
    Trigger("ListBoxSurv.EditerSymb");
    EXPECT_EQ(Lines("ListBoxSurv").front(), c.line) << "format " << c.format;
  }

  // An initial value reaches memory at every Init.
  watchAnswer = [](WatchDialog d) {
    d.format = FmtHex;
    d.bytesPer = 1;
    d.elements = 1;
    d.initial = "3C";
    return d;
  };
  w.EditWatch(0);
  m.Memory[0x200] = 0;
  Trigger("CtrlF2");
  EXPECT_EQ(m.Memory[0x200], 0x3C);
  EXPECT_EQ(w.watches().entries().size(), 1u);  // kept through the workspace

  // Timer prompts and nothing follows; Delete and "Tout Effacer" empty the list.
  Trigger("ListBoxSurv.Timers1");
  ASSERT_EQ(messages.prompts.size(), 1u);
  EXPECT_EQ(messages.prompts[0], "Numero Timer|de 0 à 15|0");
  List("ListBoxSurv").setCurrentRow(0);
  QTest::keyClick(&List("ListBoxSurv"), Qt::Key_Delete);
  EXPECT_TRUE(Lines("ListBoxSurv").isEmpty());
}

TEST_F(WorkListTest, SymbolDoubleClickAddsAWatch) {
  gui::MainWindow& w = OpenDemo();
  QListWidget& symbols = List("ListSymbI");
  ASSERT_GT(symbols.count(), 0);
  symbols.setCurrentRow(0);
  emit symbols.itemDoubleClicked(symbols.item(0));
  ASSERT_EQ(w.watches().entries().size(), 1u);
  EXPECT_EQ(w.watches().entries()[0].name, w.session().listing().Symbols.ListSymbI[0].sym.Name);
  EXPECT_EQ(w.runControl().Pane, RightPane::Surv);
}

TEST_F(WorkListTest, SelTypeChoosesTheListAndALabelClickRefreshesI) {
  gui::MainWindow& w = OpenDemo();
  window->findChild<QRadioButton*>("RBVar")->click();
  auto* selType = window->findChild<QComboBox*>("SelType");
  ASSERT_NE(selType, nullptr);
  EXPECT_EQ(selType->currentText(), "I");
  EXPECT_TRUE(List("ListSymbI").isVisible());
  EXPECT_FALSE(List("ListSymbC").isVisible());
  EXPECT_EQ(List("ListSymbS").toolTip(), "Labels");
  selType->setCurrentText("C");
  EXPECT_FALSE(List("ListSymbI").isVisible());
  EXPECT_TRUE(List("ListSymbC").isVisible());
  selType->setCurrentText("I");

  // The lines show the byte of load time until a click in the label list.
  const SymbolItem& first = w.session().listing().Symbols.ListSymbI[0];
  const QString before = List("ListSymbI").item(0)->text();
  w.session().machine().Memory[first.sym.Addr] = 0xA5;
  EXPECT_EQ(List("ListSymbI").item(0)->text(), before);
  QListWidget& labels = List("ListSymbS");
  labels.addItem("label");
  emit labels.itemClicked(labels.item(0));
  EXPECT_EQ(List("ListSymbI").item(0)->text(), before.left(20) + "00a5");
}

TEST_F(WorkListTest, FunctionListAndHistoryBackAndForward) {
  gui::MainWindow& w = OpenDemo();
  auto* list = w.findChild<QTreeWidget*>("ListView1");
  Trigger("ListeFonctions1");
  ASSERT_GT(list->topLevelItemCount(), 2);
  int row = 0;
  for (; row < list->topLevelItemCount(); ++row)
    if (list->topLevelItem(row)->text(0) == "load_config") break;
  ASSERT_LT(row, list->topLevelItemCount());
  w.ListRowChosen(row);
  EXPECT_EQ(w.flowPane().CurrentFunction(), "load_config");
  // The history is load_config, debprog_ (the PC at Load), adc_read (the first function).
  Trigger("Precedent");
  EXPECT_EQ(w.flowPane().CurrentFunction(), "debprog_");
  Trigger("Precedent");
  Trigger("Precedent");  // the oldest entry: nothing happens
  EXPECT_EQ(w.flowPane().CurrentFunction(), "adc_read");
  Trigger("Suivant");
  Trigger("Suivant");
  Trigger("Suivant");  // the newest entry: nothing happens
  EXPECT_EQ(w.flowPane().CurrentFunction(), "load_config");
  EXPECT_EQ(w.findChild<QComboBox*>("ListUrl")->currentText(), "load_config");
}

TEST_F(WorkListTest, CtrlFFindsStatementsAndStepsThroughThem) {
  gui::MainWindow& w = OpenDemo();
  Trigger("Chercher1");
  gui::FindBox& box = w.findBox();
  EXPECT_TRUE(box.isVisible());
  box.Edit().setText("LEDS");  // case-insensitive by default
  QTest::keyClick(&box.Edit(), Qt::Key_Return);
  auto* list = w.findChild<QTreeWidget*>("ListView1");
  const int hits = list->topLevelItemCount();
  ASSERT_GE(hits, 2);
  const QString first = list->topLevelItem(0)->text(2);
  EXPECT_EQ(QString::fromStdString(w.flowPane().Display().SelAddrText), first);
  QTest::keyClick(&box.Edit(), Qt::Key_Return);
  EXPECT_EQ(QString::fromStdString(w.flowPane().Display().SelAddrText), list->topLevelItem(1)->text(2));
  QTest::keyClick(&box.Edit(), Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(QString::fromStdString(w.flowPane().Display().SelAddrText), first);

  box.MatchCase().setChecked(true);  // the statements spell it in lower case
  QTest::keyClick(&box.Edit(), Qt::Key_Return);
  EXPECT_EQ(list->topLevelItemCount(), 0);
}

TEST_F(WorkListTest, DraggedBoxIsSavedAndRestoredAfterReload) {
  gui::MainWindow& w = OpenDemo();
  QWidget* paint = w.findChild<QWidget*>("PaintBox1");
  Flowchart& sheet = w.flowPane().Sheet();
  const AddressLine at = FindAddressLine(sheet, 0xE02D);
  ASSERT_NE(at.box, 0);
  const TRect before = sheet.Boxes[at.box].Rect;
  const QPoint grab(before.Left + 5, before.Top + 3);
  auto send = [&](QEvent::Type type, QPoint p, Qt::MouseButtons buttons) {
    QMouseEvent e(type, p, paint->mapToGlobal(p), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(paint, &e);
  };
  send(QEvent::MouseButtonPress, grab, Qt::LeftButton);
  for (int i = 1; i <= 6; ++i) send(QEvent::MouseMove, grab + QPoint(30 * i, 10 * i), Qt::LeftButton);
  send(QEvent::MouseButtonRelease, grab + QPoint(180, 60), Qt::NoButton);
  const TRect moved = sheet.Boxes[at.box].Rect;
  EXPECT_NE(moved.Left, before.Left);
  EXPECT_TRUE(sheet.CoordsModified);

  Trigger("relancer1");  // saves, then loads again
  EXPECT_TRUE(QFile::exists(QString::fromStdString(w.ListingBase() + "_Coord.txt")));
  const AddressLine again = FindAddressLine(w.flowPane().Sheet(), 0xE02D);
  ASSERT_NE(again.box, 0);
  EXPECT_EQ(w.flowPane().Sheet().Boxes[again.box].Rect.Left, moved.Left);
  EXPECT_EQ(w.flowPane().Sheet().Boxes[again.box].Rect.Top, moved.Top);
}

}  // namespace
}  // namespace hc11::test
