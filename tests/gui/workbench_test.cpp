// The window as a debugger user expects it: the source pane beside the
// flowchart, the breakpoint margin and tab, the flowchart's keys, zoom, the
// status line, the registers pane and the dump's changed bytes. Each gesture
// goes through real widget events on the demo.
#include "app/gui/workbench.h"

#include <QApplication>
#include <QDockWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QWheelEvent>
#include <set>

#include "app/gui/board_panel.h"
#include "app/gui/dump_window.h"
#include "app/gui/flow_view.h"
#include "app/gui/registers_pane.h"
#include "app/gui/source_pane.h"
#include "flowchart/view/interaction.h"
#include "tests/gui/gui_fixture.h"
#include "workbench/sheet_gestures.h"

namespace hc11::test {
namespace {

class WorkbenchTest : public GuiTest {
 protected:
  gui::MainWindow& OpenDemo() {
    gui::MainWindow& w = Open(CopyExample("demo"));
    bench = &w.workbench();
    source = &bench->sourcePane();
    view = w.findChild<gui::FlowView*>("PaintBox1");
    return w;
  }
  std::size_t LineOf(std::uint16_t address) {
    const auto line = bench->sourceMap().LineOfAddress(address);
    EXPECT_TRUE(line.has_value()) << std::hex << address;
    return line.value_or(0);
  }
  // Clicks the source row of `line`, in the margin or on the text.
  void ClickSource(std::size_t line, bool margin, bool twice = false) {
    QListWidgetItem* item = source->item(static_cast<int>(line));
    source->scrollToItem(item);
    const QRect r = source->visualItemRect(item);
    const QPoint at(margin ? 4 : 80, r.center().y());
    if (twice)
      QTest::mouseDClick(source->viewport(), Qt::LeftButton, {}, at);
    else
      QTest::mouseClick(source->viewport(), Qt::LeftButton, {}, at);
  }
  // A point on the line of `address` in sheet units: on its text, or on the
  // breakpoint tab left of the box.
  QPoint SheetPoint(std::uint16_t address, bool tab) {
    const Flowchart& sheet = window->flowPane().Sheet();
    const AddressLine at = FindAddressLine(sheet, address);
    EXPECT_NE(at.box, 0) << std::hex << address;
    const TRectangle& b = sheet.Boxes[at.box];
    const int y = b.Rect.Top + at.line * (sheet.LineH + 3) + 4;
    return {tab ? b.Rect.Left - 8 : b.Rect.Left + b.LargLabel + 10, y};
  }
  QPoint ViewPoint(QPoint sheet) {
    const Zoom& z = view->zoom();
    return {z.ToView(sheet.x()), z.ToView(sheet.y())};
  }
  QString Status() { return window->statusBar()->currentMessage(); }
  bool SourceIsNavy(std::size_t line) {
    return source->item(static_cast<int>(line))->background().color() == QColor(0, 0, 0x80);
  }

  gui::Workbench* bench = nullptr;
  gui::SourcePane* source = nullptr;
  gui::FlowView* view = nullptr;
};

TEST_F(WorkbenchTest, SourcePaneShowsTheListingAndFollowsThePcAndTheSelection) {
  gui::MainWindow& w = OpenDemo();
  EXPECT_TRUE(bench->sourceDock().isVisible());
  EXPECT_EQ(static_cast<std::size_t>(source->count()), bench->sourceMap().Size());
  EXPECT_TRUE(source->item(0)->text().startsWith("    1  "));
  EXPECT_TRUE(SourceIsNavy(LineOf(0xE000)));
  // Lines without code cannot be selected.
  EXPECT_FALSE(source->item(0)->flags() & Qt::ItemIsSelectable);

  Trigger("Step7");
  EXPECT_EQ(Status(), "Pas à pas: E003");
  EXPECT_TRUE(SourceIsNavy(LineOf(0xE003)));
  EXPECT_FALSE(SourceIsNavy(LineOf(0xE000)));

  // A click on a source line selects its address on the flowchart, and F4
  // runs there.
  ClickSource(LineOf(0xE02D), false);
  EXPECT_EQ(w.flowPane().SelectedAddress(), 0xE02D);
  Trigger("Jusquaucurseur");
  EXPECT_EQ(w.session().machine().cpu.PC, 0xE02D);
  EXPECT_EQ(Status(), "Arrivé au curseur: E02D");
  EXPECT_TRUE(SourceIsNavy(LineOf(0xE02D)));

  // A click on the flowchart selects the same address in the source.
  QTest::mouseClick(view, Qt::LeftButton, {}, ViewPoint(SheetPoint(0xE03D, false)));
  EXPECT_EQ(source->currentRow(), static_cast<int>(LineOf(0xE03D)));

  // The pane's popup runs to the line pressed with the right button.
  {
    QListWidgetItem* item = source->item(static_cast<int>(LineOf(0xE045)));
    source->scrollToItem(item);
    QTest::mousePress(source->viewport(), Qt::RightButton, {},
                      QPoint(80, source->visualItemRect(item).center().y()));
    source->findChild<QAction*>("SourceContinuer")->trigger();
    EXPECT_EQ(w.session().machine().cpu.PC, 0xE045);
  }

  // A macro expansion line is a run target of its own.
  ClickSource(LineOf(0xE168), false);
  EXPECT_EQ(bench->CursorTarget(), 0xE168);

  // "Voir" hides and shows the pane.
  Trigger("VoirSource");
  EXPECT_FALSE(bench->sourceDock().isVisible());
  Trigger("VoirSource");
  EXPECT_TRUE(bench->sourceDock().isVisible());
}

TEST_F(WorkbenchTest, MarginClickTogglesTheSameBreakpointAsBreakEdit) {
  gui::MainWindow& w = OpenDemo();
  const std::size_t line = LineOf(0xE056);
  ClickSource(line, true);
  EXPECT_EQ(w.breakpoints().Lines(), std::vector<std::string>{"e056 C Break    main_loop"});
  EXPECT_EQ(w.flowPane().Display().LineColorHook(0xE056), kRed);
  EXPECT_FALSE(source->item(static_cast<int>(line))->icon().isNull());
  EXPECT_EQ(Status(), "Point d'arrêt posé: e056 main_loop");
  EXPECT_EQ(source->currentRow() == static_cast<int>(line), false);  // the margin does not select

  Trigger("Executer1");
  EXPECT_EQ(w.session().machine().cpu.PC, 0xE056);
  EXPECT_EQ(Status(), "Arrêt sur point d'arrêt e056 main_loop");

  ClickSource(line, true);
  EXPECT_TRUE(w.breakpoints().entries().empty());
  EXPECT_EQ(w.session().machine().tInst[0xE056], 0);
  EXPECT_EQ(Status(), "Point d'arrêt retiré: e056");

  // A comment line takes no breakpoint.
  ClickSource(0, true);
  EXPECT_TRUE(w.breakpoints().entries().empty());
  EXPECT_EQ(Status(), "Pas de code sur cette ligne");
}

TEST_F(WorkbenchTest, DoubleClickOnACallLineShowsTheCallee) {
  gui::MainWindow& w = OpenDemo();
  ClickSource(LineOf(0xE048), false, true);  // call load_config
  EXPECT_EQ(w.flowPane().CurrentFunction(), "load_config");
  EXPECT_EQ(Status(), "Fonction affichée: load_config");
}

TEST_F(WorkbenchTest, FlowchartTabArrowsEnterAndBackspace) {
  gui::MainWindow& w = OpenDemo();
  // The tab left of a box toggles its line's breakpoint.
  QTest::mouseClick(view, Qt::LeftButton, {}, ViewPoint(SheetPoint(0xE003, true)));
  EXPECT_EQ(w.session().machine().tInst[0xE003], 2);
  EXPECT_EQ(w.breakpoints().entries().size(), 1u);
  QTest::mouseClick(view, Qt::LeftButton, {}, ViewPoint(SheetPoint(0xE003, true)));
  EXPECT_EQ(w.session().machine().tInst[0xE003], 0);
  EXPECT_TRUE(w.breakpoints().entries().empty());

  // Up and Down walk the lines; the source follows.
  QTest::mouseClick(view, Qt::LeftButton, {}, ViewPoint(SheetPoint(0xE003, false)));
  QTest::keyClick(view, Qt::Key_Down);
  EXPECT_EQ(w.flowPane().SelectedAddress(), 0xE006);
  QTest::keyClick(view, Qt::Key_Up);
  QTest::keyClick(view, Qt::Key_Up);
  EXPECT_EQ(w.flowPane().SelectedAddress(), 0xE000);
  EXPECT_EQ(source->currentRow(), static_cast<int>(LineOf(0xE000)));

  // Enter on a call line does what "Lien" does on it.
  auto linkedFrom = [&](std::uint16_t address) {
    QTest::mouseClick(view, Qt::LeftButton, {}, ViewPoint(SheetPoint(address, false)));
    QTest::keyClick(view, Qt::Key_Return);
    return w.flowPane().CurrentFunction();
  };
  const std::string viaEnter = linkedFrom(0xE048);
  QTest::keyClick(view, Qt::Key_Backspace);
  EXPECT_EQ(w.flowPane().CurrentFunction(), "debprog_");
  w.ShowSourceAt(0xE048);
  w.HoverAt(SheetPoint(0xE048, false).x(), SheetPoint(0xE048, false).y());
  w.FlowPopupMenu();
  Trigger("PopupMenu2.Lien1");
  EXPECT_EQ(w.flowPane().CurrentFunction(), viaEnter);

  // A call through a table links to the table by its plain name.
  w.ShowSourceAt(0xE0EB);  // key_action: call [key_table]
  ASSERT_EQ(w.flowPane().CurrentFunction(), "key_action");
  EXPECT_EQ(linkedFrom(0xE0EB), "key_table");
  QTest::keyClick(view, Qt::Key_Backspace);
  EXPECT_EQ(w.flowPane().CurrentFunction(), "key_action");
  w.ShowSourceAt(0xE000);

  // Enter on a line that is no call changes nothing.
  EXPECT_EQ(linkedFrom(0xE000), "debprog_");
}

TEST_F(WorkbenchTest, ZoomKeepsHitTestingDragsAndSavedPositionsInSheetUnits) {
  gui::MainWindow& w = OpenDemo();
  QWidget* viewport = w.findChild<QScrollArea*>("ScrollBox1")->viewport();
  const QPoint pointer(100, 80);
  QWheelEvent wheel(pointer, viewport->mapToGlobal(pointer), {}, {0, 120}, Qt::NoButton, Qt::ControlModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(viewport, &wheel);
  EXPECT_EQ(view->zoom().Percent(), 110);
  EXPECT_EQ(Status(), "Zoom: 110%");
  Trigger("ZoomReset");
  EXPECT_EQ(view->zoom().Percent(), 100);
  Trigger("ZoomIn");
  Trigger("ZoomOut");
  EXPECT_EQ(view->zoom().Percent(), 100);
  bench->ZoomTo(150, QPoint(0, 0));
  EXPECT_EQ(view->zoom().Percent(), 150);
  EXPECT_EQ(view->width(), view->zoom().ToView(w.flowPane().Sheet().BitmapW));
  ASSERT_EQ(w.flowPane().CurrentFunction(), "debprog_");

  // Hit-testing: the tab at its zoomed place.
  QTest::mouseClick(view, Qt::LeftButton, {}, ViewPoint(SheetPoint(0xE003, true)));
  EXPECT_EQ(w.session().machine().tInst[0xE003], 2);
  // Selection at its zoomed place.
  QTest::mouseClick(view, Qt::LeftButton, {}, ViewPoint(SheetPoint(0xE006, false)));
  EXPECT_EQ(w.flowPane().SelectedAddress(), 0xE006);

  // A drag of 60 view pixels moves the box by 40 sheet units.
  Flowchart& sheet = w.flowPane().Sheet();
  const AddressLine at = FindAddressLine(sheet, 0xE02D);
  const TRect before = sheet.Boxes[at.box].Rect;
  const QPoint grab = ViewPoint({before.Left + 5, before.Top + 3});
  auto send = [&](QEvent::Type type, QPoint p, Qt::MouseButtons buttons) {
    QMouseEvent e(type, p, view->mapToGlobal(p), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(view, &e);
  };
  send(QEvent::MouseButtonPress, grab, Qt::LeftButton);
  for (int i = 1; i <= 4; ++i) send(QEvent::MouseMove, grab + QPoint(15 * i, 0), Qt::LeftButton);
  send(QEvent::MouseButtonRelease, grab + QPoint(60, 0), Qt::NoButton);
  const int moved = sheet.Boxes[at.box].Rect.Left - before.Left;
  EXPECT_EQ(moved, 40);  // the grab point follows the pointer: 60 view pixels at 150%

  // The zoom and the panes' places are kept in the settings file.
  Trigger("Quitter1");
  QFile ini(dir.filePath("hc11flow.ini"));
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(ini.readAll());
  EXPECT_TRUE(text.contains("[Affichage]")) << text.toStdString();
  EXPECT_TRUE(text.contains("Zoom=150"));
  EXPECT_TRUE(text.contains("[Fichier]"));
  ini.close();
  Open(std::string());
  EXPECT_EQ(window->findChild<gui::FlowView*>("PaintBox1")->zoom().Percent(), 150);
}

// The demo's listing and the settings file with lone CR line endings, which
// the listing reader accepts: the source pane shows one row per line, the
// zoom kept in "[Affichage]" is the one used, and quitting keeps one such
// section with the file's own endings. A breakpoint set in the margin on
// isr_tick's first instruction stops F9 there.
TEST_F(WorkbenchTest, LoneCrFilesReadAsLinesAndTheInterruptHandlerStops) {
  const std::string base = CopyExample("demo");
  QFile lst(QString::fromStdString(base + ".lst"));
  ASSERT_TRUE(lst.open(QIODevice::ReadOnly));
  QByteArray text = lst.readAll();
  lst.close();
  const int lines = static_cast<int>(text.count('\n'));
  text.replace("\r\n", "\n").replace('\n', '\r');
  ASSERT_TRUE(lst.open(QIODevice::WriteOnly | QIODevice::Truncate));
  lst.write(text);
  lst.close();
  QFile ini(dir.filePath("hc11flow.ini"));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write(QByteArray("[Fichier]\rNomFichLst=") + QByteArray::fromStdString(base) +
            "\r[Affichage]\rZoom=150\r");
  ini.close();

  gui::MainWindow& w = Open(base);
  bench = &w.workbench();
  source = &bench->sourcePane();
  EXPECT_EQ(source->count(), lines);
  EXPECT_EQ(w.findChild<gui::FlowView*>("PaintBox1")->zoom().Percent(), 150);

  ClickSource(LineOf(0xE5EC), true);
  EXPECT_EQ(w.session().machine().tInst[0xE5EC], 2);
  w.session().machine().StepBudget = 2'000'000;  // a run that misses it still ends
  Trigger("Executer1");
  EXPECT_TRUE(Label("Cas_Break").startsWith("Break e5ec")) << Label("Cas_Break").toStdString();
  EXPECT_EQ(Label("LabelPC"), "PC=E5EC");

  Trigger("Quitter1");
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  const QByteArray saved = ini.readAll();
  EXPECT_EQ(saved.count("[Affichage]"), 1) << saved.toStdString();
  EXPECT_TRUE(saved.contains("\r[Affichage]\rZoom=150\r")) << saved.toStdString();
  EXPECT_FALSE(saved.contains('\n')) << saved.toStdString();
}

TEST_F(WorkbenchTest, StatusLineAndNothingModalDuringARun) {
  gui::MainWindow& w = OpenDemo();
  Trigger("Jusquaucurseur");
  EXPECT_EQ(Status(), "Aucune ligne sélectionnée");
  QTest::mouseClick(w.boardPanel().findChild<QPushButton*>("Button1"), Qt::LeftButton);
  EXPECT_EQ(Status(), "Commande LecE2P placée dans le tampon série");
  Trigger("AffCommentaires");
  EXPECT_TRUE(Status().startsWith("Option Aff Commentaires: "));

  // During a run: a register prompt, a breakpoint dialog and closing are all
  // refused on the status line; F2 then stops the run.
  std::vector<QString> said;
  QObject::connect(w.statusBar(), &QStatusBar::messageChanged, [&](const QString& m) { said.push_back(m); });
  bool dialogOpened = false;
  w.RunBreakDialog = [&](BreakDialog&) { return dialogOpened = true; };
  w.breakpoints().New();
  QTimer::singleShot(30, &w, [&] {
    QTest::mouseClick(w.findChild<QLabel*>("LabelA"), Qt::LeftButton);
    w.EditBreak(0);
    w.close();
    Trigger("Arret1");
  });
  QTimer::singleShot(5000, &w, [&] { Trigger("Arret1"); });  // a bound, should the first not arrive
  w.session().machine().RefreshEvery = 200;
  Trigger("Executer1");
  EXPECT_TRUE(messages.prompts.empty());
  EXPECT_FALSE(dialogOpened);
  EXPECT_TRUE(w.isVisible());
  auto saidOnce = [&](const QString& prefix) {
    for (const QString& s : said)
      if (s.startsWith(prefix)) return true;
    return false;
  };
  EXPECT_TRUE(saidOnce("Saisie impossible pendant l'exécution"));
  EXPECT_TRUE(saidOnce("Dialogue impossible pendant l'exécution"));
  EXPECT_TRUE(saidOnce("Fermeture refusée: exécution arrêtée"));
  // The refused close stopped the run: the line says so, not only that a stop was asked.
  EXPECT_EQ(Status(), "Fermeture refusée: exécution arrêtée");
}

TEST_F(WorkbenchTest, RegistersPaneMarksChangesAndEditsInPlace) {
  gui::MainWindow& w = OpenDemo();
  EXPECT_TRUE(bench->registersDock().isVisible());
  gui::RegistersPane& regs = bench->registersPane();
  auto row = [&](const QString& name) {
    for (int i = 0; i < regs.rowCount(); ++i)
      if (regs.item(i, 0)->text() == name) return i;
    ADD_FAILURE() << name.toStdString();
    return 0;
  };
  auto red = [&](const QString& name) { return regs.item(row(name), 1)->foreground().color() == Qt::red; };
  EXPECT_FALSE(red("PC"));
  Trigger("Step7");  // ldS #STACK
  EXPECT_TRUE(red("PC"));
  EXPECT_FALSE(red("X"));
  Trigger("Step7");  // ldX #REGBAS
  EXPECT_TRUE(red("X"));
  EXPECT_FALSE(red("SP"));
  EXPECT_EQ(regs.item(row("X"), 1)->text(), "1000");
  EXPECT_EQ(regs.item(row("CC.Z"), 0)->toolTip().toStdString(), "Z: zéro");

  regs.item(row("A"), 1)->setText("5A");
  QApplication::processEvents();
  EXPECT_EQ(w.session().machine().cpu.A, 0x5A);
  EXPECT_EQ(Label("LabelA"), "A=5A");
  EXPECT_EQ(Status(), "Registre A = 5A");
  regs.item(row("X"), 1)->setText("1234");  // the index register, not the flag CC.X
  QApplication::processEvents();
  EXPECT_EQ(w.session().machine().cpu.X, 0x1234);
  EXPECT_EQ(regs.item(row("CC.X"), 1)->text(), "0");
  regs.item(row("A"), 1)->setText("zz");
  QApplication::processEvents();
  EXPECT_EQ(w.session().machine().cpu.A, 0x5A);
  EXPECT_EQ(regs.item(row("A"), 1)->text(), "5A");  // the pane shows the register again
  EXPECT_TRUE(Status().startsWith("Erreur: A: "));
}

TEST_F(WorkbenchTest, DumpHighlightsBytesChangedSinceThePreviousStop) {
  gui::MainWindow& w = OpenDemo();
  Trigger("Dump1");
  auto* memo = w.dumpWindow().findChild<QPlainTextEdit*>("Memo1");
  EXPECT_TRUE(memo->extraSelections().isEmpty());
  ClickSource(LineOf(0xE02F), false);
  Trigger("Jusquaucurseur");
  ASSERT_EQ(w.session().machine().cpu.PC, 0xE02F);
  Trigger("Step7");  // stA key: $02 becomes $FF
  const auto marks = memo->extraSelections();
  ASSERT_EQ(marks.size(), 1);
  EXPECT_EQ(marks.front().cursor.selectedText(), "FF");
  EXPECT_EQ(marks.front().cursor.block().blockNumber(), 0);
  EXPECT_EQ(marks.front().cursor.anchor() - marks.front().cursor.block().position(), 7 + 2 * 3);
  Trigger("Step7");  // clr dmode: $03 was already 0, nothing changed since the last stop
  EXPECT_TRUE(memo->extraSelections().isEmpty());
}

TEST_F(WorkbenchTest, TooltipsAndNoOriginalShortcutChanges) {
  gui::MainWindow& w = OpenDemo();
  for (const char* name : {"LigneX2", "Cas_Break", "LabelPC", "ListUrl", "RbTrace", "RBVar"})
    EXPECT_FALSE(w.findChild<QWidget*>(name)->toolTip().isEmpty()) << name;
  for (const char* name : {"AfReg", "AffCommentaires", "TracerI2c"})
    EXPECT_FALSE(w.Action(name)->toolTip().isEmpty()) << name;
  // The original keys keep their commands, and no two actions share a key.
  const std::pair<const char*, QKeySequence> original[] = {
      {"Executer1", Qt::Key_F9},
      {"Step7", Qt::Key_F7},
      {"Step8", Qt::Key_F8},
      {"Jusquaucurseur", Qt::Key_F4},
      {"Arret1", Qt::Key_F2},
      {"relancer1", Qt::Key_F10},
      {"RemonterSP", QKeySequence(Qt::CTRL | Qt::Key_F8)},
      {"CtrlF2", QKeySequence(Qt::CTRL | Qt::Key_F2)},
      {"Precedent", QKeySequence(Qt::SHIFT | Qt::Key_F2)},
      {"Suivant", QKeySequence(Qt::SHIFT | Qt::Key_F3)},
      {"Chercher1", QKeySequence(Qt::CTRL | Qt::Key_F)},
  };
  for (const auto& [name, key] : original) EXPECT_EQ(w.Action(name)->shortcut(), key) << name;
  std::set<QString> keys;
  for (QAction* a : w.findChildren<QAction*>()) {
    for (const QKeySequence& k : a->shortcuts())
      EXPECT_TRUE(keys.insert(k.toString()).second) << k.toString().toStdString();
  }
}

}  // namespace
}  // namespace hc11::test
