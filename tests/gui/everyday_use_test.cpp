// What a user meets in the first hour on the demo: the dump window's life,
// "Lien", the watch dialog's marks, the PC line inside merged statements, the
// hint, the dump and register refreshes, opening another program, the board
// panel, the settings editor, the top bar's width and the source excerpt.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include "app/gui/board_panel.h"
#include "app/gui/dump_window.h"
#include "app/gui/edit_dialogs.h"
#include "app/gui/flow_view.h"
#include "flowchart/view/interaction.h"
#include "tests/gui/gui_fixture.h"
#include "tests/listing/listing_text.h"

namespace hc11::test {
namespace {

class EverydayTest : public GuiTest {
 protected:
  // The point on the line of `address` in the shown sheet.
  QPoint LinePoint(std::uint16_t address) {
    Flowchart& sheet = window->flowPane().Sheet();
    const AddressLine at = FindAddressLine(sheet, address);
    EXPECT_NE(at.box, 0) << std::hex << address;
    if (at.box == 0) return {};
    const TRectangle& b = sheet.Boxes[at.box];
    const int row = b.Haut / static_cast<int>(b.Lignes.size());
    return {b.Rect.Left + b.LargLabel + 4, b.Rect.Top + at.line * row + row / 2};
  }
  void HoverLine(std::uint16_t address) {
    window->ShowSourceAt(address);
    const QPoint p = LinePoint(address);
    window->HoverAt(p.x(), p.y());
  }
  QAction* Popup(const char* name) {
    window->FlowPopupMenu();
    return window->Action(QString("PopupMenu2.") + name);
  }
  QLabel* Named(const char* name) { return window->findChild<QLabel*>(name); }
  QMdiSubWindow* DumpFrame() {
    for (QMdiSubWindow* w : window->findChildren<QMdiSubWindow*>())
      if (w->widget() == &window->dumpWindow()) return w;
    return nullptr;
  }
};

// The dump window's close box hides it: "Dump" brings the same one back, and
// "Quitter" and closing the window save its memory choice.
TEST_F(EverydayTest, DumpWindowClosedThenDumpQuitterAndClose) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  w.dumpWindow().SetChoice(1);
  ASSERT_NE(DumpFrame(), nullptr);
  DumpFrame()->close();
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_NE(DumpFrame(), nullptr);
  EXPECT_FALSE(DumpFrame()->isVisible());
  Trigger("Dump1");
  EXPECT_TRUE(DumpFrame()->isVisible());
  EXPECT_FALSE(w.dumpWindow().Lines().front().isEmpty());
  DumpFrame()->close();
  Trigger("Quitter1");
  EXPECT_EQ(w.session().settings().ChoixDump, 1);
  EXPECT_TRUE(w.close());
  EXPECT_EQ(w.session().settings().ChoixDump, 1);
}

// The dump follows the memory: after a step, at Init and on a new choice.
TEST_F(EverydayTest, DumpIsRebuiltAfterRunsInitAndChoice) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  Machine& m = w.session().machine();
  auto firstLine = [&] { return w.dumpWindow().Lines().front(); };
  const QString before = firstLine();
  m.Memory[0] = 0x5A;
  Trigger("Step7");
  EXPECT_NE(firstLine(), before);
  EXPECT_TRUE(firstLine().contains("5A", Qt::CaseInsensitive));
  m.Memory[0] = 0x00;
  Trigger("CtrlF2");
  EXPECT_EQ(firstLine(), before);
  w.dumpWindow().SetChoice(1);  // the EEPROM image
  w.session().board().EepromImage[0] = 0xC3;
  w.dumpWindow().SetChoice(2);
  w.dumpWindow().SetChoice(1);
  EXPECT_TRUE(firstLine().contains("C3", Qt::CaseInsensitive));
}

// "Lien" on "call send_banner" shows send_banner with the history caption; on
// an indexed call it says why it goes nowhere and the history stays clean.
TEST_F(EverydayTest, LienFollowsTheCalleeAndNeverAnUnknownName) {
  gui::MainWindow& w = Open("", CopyExample("demo"));
  HoverLine(0xE045);
  QAction* lien = Popup("Lien1");
  EXPECT_EQ(lien->text(), "send_banner");
  ASSERT_TRUE(lien->isEnabled());
  lien->trigger();
  EXPECT_EQ(w.flowPane().CurrentFunction(), "send_banner");
  EXPECT_GT(w.findChild<gui::FlowView*>("PaintBox1")->width(), 1);
  EXPECT_EQ(w.findChild<QComboBox*>("ListUrl")->currentText(), "send_banner");
  EXPECT_EQ(w.windowTitle(), "version.dll" + QString(23, ' ') + QString::fromStdString(w.ListingBase()));

  // A call line whose name is no function of the program.
  HoverLine(0xE045);
  w.flowPane().Display().FollowName = "call nulle_part";
  const std::string shown = w.flowPane().CurrentFunction();
  EXPECT_EQ(Popup("Lien1")->text(), "nulle_part");
  Popup("Lien1")->trigger();
  EXPECT_EQ(w.flowPane().CurrentFunction(), shown);
  EXPECT_TRUE(Named("LbInfo")->isVisible());
  for (const std::string& name : w.flowPane().History()) EXPECT_TRUE(w.flowPane().IsFunction(name)) << name;

  // "Precedent" and "Suivant" give the same caption.
  w.setWindowTitle("");
  Trigger("Precedent");
  EXPECT_TRUE(w.windowTitle().startsWith("version.dll"));
}

// Typing in "Valeur Init" alone marks the initial value only; the value box
// has its own mark.
TEST_F(EverydayTest, WatchDialogMarksEachBoxApart) {
  WatchDialog fill;
  fill.value = "A! 0!B";
  for (const char* box : {"ChaineInit2", "Valeur2"}) {
    gui::EditWatchDialog dialog(fill, nullptr);
    QTest::keyClicks(dialog.findChild<QLineEdit*>(box), "41");
    const WatchDialog d = dialog.Texts();
    EXPECT_EQ(d.initialModified, std::string(box) == "ChaineInit2") << box;
    EXPECT_EQ(d.valueModified, std::string(box) == "Valeur2") << box;
  }
}

// Every address of every merged statement of the demo (and of every macro
// call) marks that statement's line navy, on the way through with F7.
TEST_F(EverydayTest, StepThroughEveryMergedStatementFindsItsLine) {
  gui::MainWindow& w = Open("", CopyExample("demo"));
  Machine& m = w.session().machine();
  FlowDisplay& display = w.flowPane().Display();
  int statements = 0, stops = 0;
  for (const TSynElem& e : w.session().listing().LineList) {
    if (e.AddrText.empty() || e.AddrEndText.empty() || e.AddrEndText == e.AddrText) continue;
    const auto first = StrToWord("$" + e.AddrText), last = StrToWord("$" + e.AddrEndText);
    ASSERT_TRUE(first && last) << e.AddrText;
    ++statements;
    m.cpu.PC = *first;
    for (int step = 0; step < 12 && m.cpu.PC >= *first && m.cpu.PC <= *last; ++step) {
      display.PCAddrText.clear();
      w.ShowSourceAt(m.cpu.PC);
      EXPECT_EQ(display.PCAddrText, e.AddrText) << "stop at " << std::hex << m.cpu.PC << " in " << e.Text;
      ++stops;
      Trigger("Step7");
    }
  }
  EXPECT_GT(statements, 20);
  EXPECT_GT(stops, 2 * statements);
}

// The hint goes when the pointer leaves the sheet, at a run command and when
// another function is drawn.
TEST_F(EverydayTest, ValueHintGoesAwayWhenItsLineDoes) {
  gui::MainWindow& w = Open("", CopyExample("demo"));
  QLabel* hint = Named("Label1");
  auto hover = [&] {
    HoverLine(0xE03D);
    ASSERT_TRUE(hint->isVisible());
  };
  hover();
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(w.findChild<gui::FlowView*>("PaintBox1"), &leave);
  EXPECT_FALSE(hint->isVisible());
  hover();
  Trigger("Step7");
  EXPECT_FALSE(hint->isVisible());
  hover();
  Trigger("Precedent");
  EXPECT_FALSE(hint->isVisible());
}

// After a register edit the trace line shows the new value as well.
TEST_F(EverydayTest, RegisterEditRefreshesBothReadouts) {
  Open(CopyExample("loop"));
  messages.answer = "5C";
  QTest::mouseClick(Named("LabelA"), Qt::LeftButton);
  EXPECT_EQ(Label("LabelA"), "A=5C");
  EXPECT_TRUE(Label("LigneX2").contains("A=5c")) << Label("LigneX2").toStdString();
}

// "Ouvrir Fichier.Lst" saves the program left behind first.
TEST_F(EverydayTest, OpeningAnotherListingKeepsTheBreakpointsOfTheFirst) {
  const std::string loop = CopyExample("loop"), demo = CopyExample("demo");
  gui::MainWindow& w = Open(loop);
  w.breakpoints().Append({"boucle", 0xE009, 'C', 2}, true);
  w.OpenListingFile(demo + ".lst");
  EXPECT_EQ(w.ListingBase(), demo);
  EXPECT_TRUE(w.breakpoints().entries().empty());
  w.OpenListingFile(loop + ".lst");
  ASSERT_EQ(w.breakpoints().entries().size(), 1u);
  EXPECT_EQ(w.breakpoints().entries()[0].name, "boucle");
}

// The panel stays on top (an Options mark) except while a dialog of the
// window is open; its place is saved and restored as the same geometry.
TEST_F(EverydayTest, BoardPanelStepsBackForDialogsAndKeepsItsPlace) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  gui::BoardPanel& panel = w.boardPanel();
  auto onTop = [&] { return panel.windowFlags().testFlag(Qt::WindowStaysOnTopHint); };
  EXPECT_TRUE(w.Action("PanneauDevant")->isChecked());
  EXPECT_TRUE(onTop());
  {
    QDialog prompt(&w);
    prompt.show();
    EXPECT_FALSE(onTop());
    prompt.hide();
    EXPECT_TRUE(onTop());
  }
  Trigger("PanneauDevant");
  EXPECT_FALSE(onTop());
  Trigger("PanneauDevant");

  panel.show();
  panel.setGeometry(QRect(QPoint(310, 220), panel.size()));
  for (int start = 0; start < 2; ++start) {
    ASSERT_TRUE(window->close());
    gui::MainWindow& again = Open("");
    again.boardPanel().show();
    EXPECT_EQ(again.boardPanel().geometry().topLeft(), QPoint(310, 220)) << "start " << start;
  }
}

// "Processeur exact": the mark reaches the machine at once and the status
// line says so on its right while it is on.
TEST_F(EverydayTest, TheExactModeMarkIsShownOnTheStatusLine) {
  gui::MainWindow& w = Open(CopyExample("demo"));
  auto shown = [&] {
    const auto* mode = w.statusBar()->findChild<QLabel*>("LbMode");
    return mode != nullptr ? mode->text().toStdString() : std::string();
  };
  EXPECT_FALSE(w.session().machine().Exact);
  EXPECT_EQ(shown(), "");
  Trigger("ProcesseurExact");
  EXPECT_TRUE(w.session().machine().Exact);
  EXPECT_EQ(shown(), "Processeur exact");
  Trigger("ProcesseurExact");
  EXPECT_FALSE(w.session().machine().Exact);
  EXPECT_EQ(shown(), "");
}

// Typing replaces the value; a non-number for a numeric key is refused with
// a message; a double click on a key puts the editor away, one on a value
// edits it.
TEST_F(EverydayTest, SettingsEditorEditsLikeATable) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  Trigger("Reglages1");
  auto* editor = w.findChild<QTableWidget*>("ValueListEditor1");
  ASSERT_TRUE(editor->isVisible());
  const int row = 3;  // "Rafraichissement"
  // The first key opens the cell's editor and goes into it; the rest follow.
  auto type = [&](const QString& text) {
    editor->setCurrentCell(row, 1);
    QTest::keyClick(editor, text.at(0).toLatin1());
    QLineEdit* line = nullptr;  // the open cell editor, not one closed before
    for (QLineEdit* e : editor->findChildren<QLineEdit*>())
      if (e->isVisible()) line = e;
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), text.left(1));
    QTest::keyClicks(line, text.mid(1));
    QTest::keyClick(line, Qt::Key_Return);
    QApplication::processEvents();  // the delegate commits the text
    QApplication::processEvents();  // and a refusal is reported after it
  };
  type("500");
  EXPECT_EQ(w.session().settings().Reglage("Rafraichissement"), "500");
  EXPECT_EQ(editor->item(row, 1)->text(), "500");
  type("abc");
  EXPECT_EQ(w.session().settings().Reglage("Rafraichissement"), "500");
  EXPECT_EQ(editor->item(row, 1)->text(), "500");
  ASSERT_EQ(messages.shown.size(), 1u);

  const QRect value = editor->visualItemRect(editor->item(row, 1));
  QTest::mouseDClick(editor->viewport(), Qt::LeftButton, {}, value.center());
  EXPECT_TRUE(editor->isVisible());
  const QRect key = editor->visualItemRect(editor->item(row, 0));
  QTest::mouseDClick(editor->viewport(), Qt::LeftButton, {}, key.center());
  EXPECT_FALSE(editor->isVisible());
}

// At 150 % on a 1600-pixel screen the window has 1066 pixels: the top bar
// fits, the history combo box included.
TEST_F(EverydayTest, TopBarFitsAScaledScreen) {
  gui::MainWindow& w = Open("", CopyExample("demo"));
  EXPECT_LE(w.minimumSizeHint().width(), 1066);
  w.resize(1066, 700);
  QApplication::processEvents();
  EXPECT_LE(w.width(), 1066);
  auto* history = w.findChild<QComboBox*>("ListUrl");
  EXPECT_LE(history->mapTo(&w, QPoint(history->width(), 0)).x(), w.width());
  auto* debugOnce = w.findChild<QCheckBox*>("CbDebugOnce");
  EXPECT_TRUE(debugOnce->text().contains("1 pas"));
  EXPECT_FALSE(debugOnce->toolTip().isEmpty());
}

// "Afficher source" shows the listing excerpt in the code font; Escape or a
// press elsewhere puts it away. A sheet without boxes leaves the paint box.
TEST_F(EverydayTest, SourceExcerptAndAnEmptySheet) {
  gui::MainWindow& w = Open("", CopyExample("demo"));
  HoverLine(0xE03D);
  Popup("Affichersource1")->trigger();
  QLabel* excerpt = Named("LbSource");
  ASSERT_TRUE(excerpt->isVisible());
  EXPECT_EQ(excerpt->text().split('\n').size(), 21);
  EXPECT_EQ(excerpt->font().family(), Named("LigneX2")->font().family());
  QTest::keyClick(&w, Qt::Key_Escape);
  EXPECT_FALSE(excerpt->isVisible());
  Popup("Affichersource1")->trigger();
  ASSERT_TRUE(excerpt->isVisible());
  QTest::mouseClick(w.findChild<gui::FlowView*>("PaintBox1"), Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_FALSE(excerpt->isVisible());

  auto* paintBox = w.findChild<gui::FlowView*>("PaintBox1");
  const QSize size = paintBox->size();
  w.flowPane().Sheet().Boxes.Clear();
  w.ShowSourceAt(w.session().machine().cpu.PC);
  EXPECT_EQ(paintBox->size(), size);
}

// Load lists the instructions not interpreted (here a "ds" inside the code)
// above the function list.
TEST_F(EverydayTest, LoadListsTheInstructionsNotInterpretedFirst) {
  const QString base = dir.filePath("odd");
  QFile lst(base + ".lst");
  ASSERT_TRUE(lst.open(QIODevice::WriteOnly));
  lst.write(
      Join({Lst("E000", "", "1", "        org     $E000"), Lst("E000", "86 01", "2", "debprog_ ldA #1"),
            Lst("E002", "", "3", "        ds      1"), Lst("E003", "20 FB", "4", "        jr      debprog_")})
          .c_str());
  lst.close();
  gui::MainWindow& w = Open(base.toStdString());
  auto* list = w.findChild<QTreeWidget*>("ListView1");
  ASSERT_GE(list->topLevelItemCount(), 4);
  EXPECT_EQ(list->topLevelItem(0)->text(0), kNotInterpretedHeader);
  EXPECT_TRUE(list->topLevelItem(1)->text(0).startsWith("Erreur = E002"));
  EXPECT_EQ(list->topLevelItem(2)->text(0), kFunctionsHeader);
  // A click on the row shows its line; one on a function row shows the function.
  emit list->itemClicked(list->topLevelItem(1), 0);
  EXPECT_EQ(w.flowPane().Display().SelAddrText, "E002");
}

// The board panel's memo keeps its newest line in view.
TEST_F(EverydayTest, PanelMemoScrollsToTheNewestLine) {
  gui::MainWindow& w = Open(CopyExample("loop"));
  for (int i = 0; i < 40; ++i) w.session().board().Memo1.push_back("uart " + std::to_string(i));
  w.boardPanel().Refresh();
  QScrollBar* bar = w.boardPanel().findChild<QPlainTextEdit*>("Memo1")->verticalScrollBar();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
}

}  // namespace
}  // namespace hc11::test
